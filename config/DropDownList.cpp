#include "config/DropDownList.h"

#include "config/ListTypeAhead.h"

#include <QApplication>
#include <QComboBox>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

constexpr int kVisibleItems = 16;
constexpr const char* kStyleName = "solvane-drop-down-style";

// The desktop's style with one hint changed: many styles open a combo box as a menu over the
// current item, as tall as the screen allows, where a drop-down list opens below the box.
class TDropDownStyle : public QProxyStyle {
public:
    // Over a style of the application's own kind (QProxyStyle's default is the desktop's, which
    // a -style switch may have replaced for every other control).
    TDropDownStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override
    {
        if (Hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }
};

// One for every list, owned by the application object (a style must outlast its widgets) and
// found there, so an application made after another one went has a style of its own.
QStyle* DropDownStyle()
{
    if (auto* style = qApp->findChild<QProxyStyle*>(kStyleName, Qt::FindDirectChildrenOnly))
        return style;
    auto* proxy = new TDropDownStyle;
    proxy->setObjectName(kStyleName);
    proxy->setParent(qApp);
    return proxy;
}

}  // namespace

void SetUpDropDownList(QComboBox* Box)
{
    Box->setEditable(false);
    Box->setStyle(DropDownStyle());
    Box->setMaxVisibleItems(kVisibleItems);
    new TListTypeAhead(Box);
}
