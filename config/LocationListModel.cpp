// Rows are (name, code) views of the records; the records live as long as the program, so the
// views never dangle. Text reaches Qt as Latin-1, which leaves the tables' ASCII as it is.
#include "config/LocationListModel.h"

TLocationListModel::TLocationListModel(QObject* Parent) : QAbstractTableModel(Parent) {}

void TLocationListModel::BeginFill()
{
    beginResetModel();
    Filling = true;
    Rows.clear();
}

void TLocationListModel::Add(const assets::TCountryRecord& Country)
{
    std::string_view Name = assets::FieldText(Country.Name);
    Rows.push_back({Name.data(), Name.size(), nullptr, 0});
}

void TLocationListModel::Add(const assets::TCityRecord& City)
{
    std::string_view Name = assets::FieldText(City.Name);
    std::string_view Code = assets::FieldText(City.Code);
    Rows.push_back({Name.data(), Name.size(), Code.data(), Code.size()});
}

void TLocationListModel::EndFill()
{
    if (!Filling)
        return;
    Filling = false;
    endResetModel();
}

std::string_view TLocationListModel::Name(int Row) const
{
    if (Row < 0 || Row >= Count())
        return {};
    return {Rows[Row].Name, Rows[Row].NameSize};
}

std::string_view TLocationListModel::Code(int Row) const
{
    if (Row < 0 || Row >= Count() || Rows[Row].Code == nullptr)
        return {};
    return {Rows[Row].Code, Rows[Row].CodeSize};
}

int TLocationListModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : Count();
}

int TLocationListModel::columnCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : 2;
}

QVariant TLocationListModel::data(const QModelIndex& Index, int Role) const
{
    if (Role != Qt::DisplayRole || !Index.isValid() || Index.row() >= Count())
        return {};
    std::string_view Text = Index.column() == 0 ? Name(Index.row()) : Code(Index.row());
    return QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
}
