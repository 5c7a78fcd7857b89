// The items of the weather page's country and city lists, kept as pointers into the built-in
// location tables: a list holds no copy of a name or a code, and text is made only for the rows
// a view draws. Column 0 is the name, column 1 the location code (cities only), so the city box
// (column 0) and the hidden code list `ListBox1Code` (column 1) share one model and stay
// position for position.
#pragma once

#include "assets/LocationTables.h"

#include <QAbstractTableModel>

#include <string_view>
#include <vector>

class TLocationListModel : public QAbstractTableModel {
public:
    explicit TLocationListModel(QObject* Parent = nullptr);

    // Fills replace every row in one model reset: BeginFill, Add..., EndFill.
    void BeginFill();
    void Add(const assets::TCountryRecord& Country);
    void Add(const assets::TCityRecord& City);
    void EndFill();

    int Count() const { return static_cast<int>(Rows.size()); }
    std::string_view Name(int Row) const;
    std::string_view Code(int Row) const;  // empty for a country

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;

private:
    struct TRow {
        const char* Name;
        size_t NameSize;
        const char* Code;
        size_t CodeSize;
    };
    std::vector<TRow> Rows;
    bool Filling = false;
};
