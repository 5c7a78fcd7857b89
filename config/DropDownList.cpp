#include "config/DropDownList.h"

#include "config/ListTypeAhead.h"

#include <QApplication>
#include <QComboBox>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

constexpr int kVisibleItems = 16;

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

// One for every list, living as long as the application: a style must outlast its widgets.
QStyle* DropDownStyle()
{
    static QStyle* style = [] {
        auto* proxy = new TDropDownStyle;
        proxy->setParent(qApp);
        return proxy;
    }();
    return style;
}

}  // namespace

void SetUpDropDownList(QComboBox* Box)
{
    Box->setEditable(false);
    Box->setStyle(DropDownStyle());
    Box->setMaxVisibleItems(kVisibleItems);
    new TListTypeAhead(Box);
}
