#include "platform/gui/ControlFactory.h"

#include "platform/gui/GridView.h"
#include "platform/gui/GuiFonts.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/PictureBox.h"
#include "platform/gui/QtText.h"
#include "platform/gui/ShapeBox.h"
#include "platform/gui/StatusBarWidget.h"
#include "platform/gui/TransparentLabel.h"
#include "platform/gui/WrappingRadioButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace platform {
namespace {

Qt::Alignment horizontalAlignment(const ControlDescription& description)
{
    const Alignment defaultAlignment =
        description.kind == ControlKind::TransparentLabel ? Alignment::Centre : Alignment::Left;
    switch (description.alignment.value_or(defaultAlignment)) {
    case Alignment::Centre:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Buttons would take "&" for a mnemonic; captions show it as it is.
QString buttonText(const std::string& caption)
{
    QString text = qtDisplayText(caption);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return text;
}

const char* const styledButtonSheet = "QPushButton { border: 1px solid #5b8bc9; border-radius: 3px;"
                                      " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff,"
                                      " stop:1 #d6e6fa); padding: 2px; }"
                                      "QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                                      " stop:0 #ffffff, stop:1 #bcd6f7); }"
                                      "QPushButton:pressed { background: #a9c9f2; }";

QWidget* makeWidget(const ControlDescription& description, QWidget* parent)
{
    switch (description.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);
        label->setAlignment(horizontalAlignment(description) | Qt::AlignVCenter);
        label->setWordWrap(description.wordWrap.value_or(false));
        return label;
    }
    case ControlKind::TransparentLabel: {
        auto* label = new TransparentLabel(parent);
        label->setAlignment(horizontalAlignment(description));
        label->setWordWrap(description.wordWrap.value_or(true));
        label->setEmbossed(description.embossed);
        label->setLineFactor(GuiFonts::lineFactor(description.font));
        return label;
    }
    case ControlKind::Button:
        return new QPushButton(parent);
    case ControlKind::StyledButton: {
        auto* button = new QPushButton(parent);
        button->setStyleSheet(QString::fromLatin1(styledButtonSheet));
        return button;
    }
    case ControlKind::EditBox:
        if (description.multiLine) {
            auto* edit = new QPlainTextEdit(parent);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit->setPlainText(qtDisplayText(description.caption));
            return edit;
        } else {
            auto* edit = new QLineEdit(parent);
            edit->setText(qtText(description.caption));
            return edit;
        }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        for (const ComboItem& item : description.comboItems)
            combo->addItem(qtText(item.text), item.value);
        combo->setCurrentIndex(-1);
        return combo;
    }
    case ControlKind::RadioButton:
        if (description.radioStyle == RadioStyle::PushButton) {
            auto* button = new QPushButton(parent);
            button->setCheckable(true);
            button->setAutoExclusive(false);
            return button;
        } else {
            auto* radio = new WrappingRadioButton(parent);
            radio->setAutoExclusive(false);
            radio->setLineFactor(GuiFonts::lineFactor(description.font));
            return radio;
        }
    case ControlKind::CheckBox:
        return new QCheckBox(parent);
    case ControlKind::Grid:
        return new GridView(description.grid, parent);
    case ControlKind::PageControl: {
        auto* pages = new QTabWidget(parent);
        pages->addTab(new QWidget(pages), qtText(description.pageCaption));
        pages->tabBar()->setFocusPolicy(Qt::NoFocus);
        return pages;
    }
    case ControlKind::ShapeBox:
        return new ShapeBox(parent);
    case ControlKind::PictureBox: {
        auto* picture = new PictureBox(parent);
        if (!description.picturePath.empty() && !picture->load(QString::fromUtf8(description.picturePath)))
            qWarning("picture of control %s cannot be read: %s", description.name.c_str(),
                     description.picturePath.c_str());
        return picture;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        bar->setRange(description.progressMinimum, std::max(description.progressMinimum, description.progressMaximum));
        bar->setValue(std::clamp(description.progressPosition, bar->minimum(), bar->maximum()));
        return bar;
    }
    case ControlKind::StatusBar: {
        auto* bar = new StatusBarWidget(parent);
        for (const StatusPanel& panel : description.statusPanels)
            bar->addPanel(panel.width, qtText(panel.text));
        return bar;
    }
    case ControlKind::HtmlView:
        return new HtmlView(parent);
    }
    return new QWidget(parent);
}

} // namespace

bool ControlFactory::takesFocusByDefault(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Button:
    case ControlKind::StyledButton:
    case ControlKind::EditBox:
    case ControlKind::ComboBox:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
    case ControlKind::Grid:
        return true;
    default:
        return false;
    }
}

bool ControlFactory::isContainer(ControlKind kind)
{
    return kind == ControlKind::ShapeBox || kind == ControlKind::PageControl;
}

void ControlFactory::create(GuiControl& control, QWidget* parent)
{
    const ControlDescription& description = control.description;
    control.caption = description.kind == ControlKind::PageControl ? description.pageCaption : description.caption;
    control.tag = description.tag;
    control.textColour = description.textColour;
    control.backgroundColour = description.backgroundColour;
    control.border = description.border;

    QWidget* widget = makeWidget(description, parent);
    control.widget = widget;
    widget->setObjectName(QString::fromUtf8(description.name));
    widget->setFont(GuiFonts::font(description.font));
    widget->setGeometry(description.left, description.top, description.width, description.height);
    widget->setFocusPolicy(description.takesFocus.value_or(takesFocusByDefault(description.kind)) ? Qt::StrongFocus
                                                                                                  : Qt::NoFocus);
    if (auto* shape = qobject_cast<ShapeBox*>(widget); shape && description.outlineColour)
        shape->setOutline(qtColour(*description.outlineColour));
    if (description.kind == ControlKind::EditBox) {
        control.contentSet = description.caption;
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
            control.contentSetShown = edit->toPlainText();
        else if (auto* line = qobject_cast<QLineEdit*>(widget))
            control.contentSetShown = line->text();
        control.contentSeen = control.contentSetShown;
    }
    showCaption(control);
    applyAccessibleText(control);
    applyColours(control);
    applyBorder(control);
    widget->setVisible(description.visible);
}

bool ControlFactory::showCaption(GuiControl& control)
{
    QWidget* widget = control.widget;
    switch (control.description.kind) {
    case ControlKind::Label:
        static_cast<QLabel*>(widget)->setText(qtDisplayText(control.caption));
        return true;
    case ControlKind::TransparentLabel:
        static_cast<TransparentLabel*>(widget)->setText(qtDisplayText(control.caption));
        return true;
    case ControlKind::Button:
    case ControlKind::StyledButton:
    case ControlKind::CheckBox:
        static_cast<QAbstractButton*>(widget)->setText(buttonText(control.caption));
        return true;
    case ControlKind::RadioButton:
        if (auto* radio = qobject_cast<WrappingRadioButton*>(widget))
            radio->setCaption(qtDisplayText(control.caption));
        else
            static_cast<QAbstractButton*>(widget)->setText(buttonText(control.caption));
        return true;
    case ControlKind::PageControl:
        static_cast<QTabWidget*>(widget)->setTabText(0, qtText(control.caption));
        return true;
    default:
        return false;
    }
}

void ControlFactory::applyAccessibleText(GuiControl& control)
{
    QString name = qtText(control.accessibleName);
    if (name.isEmpty())
        name = qtText(control.description.accessibleName);
    if (name.isEmpty()) {
        switch (control.description.kind) {
        case ControlKind::Label:
        case ControlKind::TransparentLabel:
        case ControlKind::Button:
        case ControlKind::StyledButton:
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
        case ControlKind::PageControl:
            name = qtDisplayText(control.caption).simplified();
            break;
        default:
            break;
        }
    }
    QWidget* widget = control.widget;
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
    const QString description = qtText(control.accessibleDescription);
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

void ControlFactory::applyColours(GuiControl& control)
{
    QWidget* widget = control.widget;
    const QColor text = control.textColour ? qtColour(*control.textColour) : QColor(Qt::black);
    const QPalette standard = QApplication::palette();
    if (auto* label = qobject_cast<TransparentLabel*>(widget)) {
        label->setColour(text);
        return;
    }
    if (auto* shape = qobject_cast<ShapeBox*>(widget)) {
        shape->setFill(control.backgroundColour ? std::optional<QColor>(qtColour(*control.backgroundColour))
                                                : std::nullopt);
        return;
    }
    if (auto* bar = qobject_cast<StatusBarWidget*>(widget))
        bar->setTextColour(text);

    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Text, text);
    switch (control.description.kind) {
    case ControlKind::Label:
        palette.setColor(QPalette::Window, control.backgroundColour ? qtColour(*control.backgroundColour)
                                                                    : standard.color(QPalette::Button));
        break;
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
        widget->setAutoFillBackground(control.backgroundColour.has_value());
        palette.setColor(QPalette::Window, control.backgroundColour ? qtColour(*control.backgroundColour)
                                                                    : standard.color(QPalette::Window));
        palette.setColor(QPalette::Button, control.backgroundColour ? qtColour(*control.backgroundColour)
                                                                    : standard.color(QPalette::Button));
        break;
    case ControlKind::Button:
    case ControlKind::StyledButton:
    case ControlKind::ComboBox:
        palette.setColor(QPalette::Button, control.backgroundColour ? qtColour(*control.backgroundColour)
                                                                    : standard.color(QPalette::Button));
        break;
    case ControlKind::StatusBar:
        palette.setColor(QPalette::Window, control.backgroundColour ? qtColour(*control.backgroundColour)
                                                                    : standard.color(QPalette::Window));
        break;
    case ControlKind::EditBox:
    case ControlKind::Grid:
    case ControlKind::HtmlView:
        palette.setColor(QPalette::Base, control.backgroundColour ? qtColour(*control.backgroundColour)
                                                                  : standard.color(QPalette::Base));
        break;
    default:
        widget->setAutoFillBackground(control.backgroundColour.has_value());
        if (control.backgroundColour)
            palette.setColor(QPalette::Window, qtColour(*control.backgroundColour));
        break;
    }
    widget->setPalette(palette);
}

bool ControlFactory::applyBorder(GuiControl& control)
{
    auto* label = qobject_cast<QLabel*>(control.widget);
    if (label == nullptr)
        return false;
    switch (control.border) {
    case Border::None:
        label->setFrameStyle(QFrame::NoFrame);
        break;
    case Border::Raised:
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        label->setLineWidth(2);
        break;
    case Border::Sunken:
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(2);
        break;
    case Border::ThinSunken:
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        break;
    case Border::SingleLine:
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
        break;
    }
    return true;
}

} // namespace platform
