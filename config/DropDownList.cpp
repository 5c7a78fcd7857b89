#include "config/DropDownList.h"

#include "config/ListTypeAhead.h"

#include <QComboBox>

namespace {

constexpr int kVisibleItems = 16;

}  // namespace

void SetUpDropDownList(QComboBox* Box)
{
    Box->setEditable(false);
    Box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    Box->setMaxVisibleItems(kVisibleItems);
    new TListTypeAhead(Box);
}
