#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Stored window descriptions: plain data that Gui::openWindow turns into a live
// window. Names (window ids, control names, containers, font faces, handler
// names) are UTF-8 as written in source; captions, texts, tags and combo items
// are program text (GBK). Every field has a default so descriptions can be
// written with designated initializers, naming only what differs.
namespace platform {

// 0xRRGGBB.
using Rgb = std::uint32_t;

enum class ControlKind {
    Label,
    TransparentLabel,
    Button,
    StyledButton,
    EditBox,
    ComboBox,
    RadioButton,
    CheckBox,
    Grid,
    PageControl,
    ShapeBox,
    PictureBox,
    ProgressBar,
    StatusBar,
    HtmlView,
};

enum class GuiEventKind {
    Created,            // window: all controls exist, before it takes input
    BeingDestroyed,     // window: closed by the program or by its close box
    Clicked,            // button, styled button, radio button, check box
    ContentChanged,     // edit box: typing or the program setting its text
    CurrentCellChanged, // grid: the current cell moved, by the user or the program
    MousePressed,       // any control: left button down on it
};

enum class Border {
    None,
    Raised,
    Sunken,
    ThinSunken,
    SingleLine,
};

enum class Alignment {
    Left,
    Centre,
    Right,
};

enum class RadioStyle {
    Classic,
    PushButton,
};

struct FontSpec {
    // "微软雅黑", "新宋体", "SimSun" or "default" (the system GUI face).
    std::string face = "default";
    // Character height in pixels; 0 = the default size (12 px).
    int pixelHeight = 0;
    bool bold = false;
};

struct EventBinding {
    GuiEventKind event = GuiEventKind::Clicked;
    // Key into the handler table passed when the window opens.
    std::string handler;
};

struct ComboItem {
    std::string text; // GBK
    int value = 0;
};

struct StatusPanel {
    // Ignored for the last panel, which takes the rest of the bar.
    int width = 0;
    std::string text; // GBK
};

struct GridSettings {
    // Design-time size, restored by Gui::resetGrid. Counts include the fixed rows and columns.
    int rows = 0;
    int columns = 0;
    int fixedRows = 1;    // 0 or 1
    int fixedColumns = 1; // 0 or 1
    int rowHeight = 27;
    int columnWidth = 60;
};

struct ControlDescription {
    std::string name; // unique within the window
    ControlKind kind = ControlKind::Label;
    // Name of the shape box or page control holding it; empty = the window's client area.
    std::string container;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string tag; // GBK
    bool visible = true;
    // Unset = the kind's default: buttons, edit boxes, radio buttons, check box,
    // combo box, styled button and grid take the focus; the rest do not.
    std::optional<bool> takesFocus;
    // Caption, initial text, or for a picture box nothing. GBK.
    std::string caption;
    FontSpec font;
    std::optional<Rgb> textColour;       // unset = black
    std::optional<Rgb> backgroundColour; // unset = the default face colour; shape box: its fill

    // Labels.
    Border border = Border::None;
    // Unset = the kind's default: transparent labels centred, everything else left.
    std::optional<Alignment> alignment;
    // Unset = the kind's default: transparent labels wrap, labels do not.
    std::optional<bool> wordWrap;
    bool embossed = false; // transparent label

    // Edit box.
    bool multiLine = false;

    // Combo box (always a drop-down list without typing); no item selected at opening.
    std::vector<ComboItem> comboItems;

    // Radio button. Radio buttons with the same container and group form one group.
    RadioStyle radioStyle = RadioStyle::Classic;
    std::string radioGroup;

    GridSettings grid;

    // Page control: the caption of its one tab (GBK).
    std::string pageCaption;

    // Shape box: outline colour; unset = the toolkit's default frame.
    std::optional<Rgb> outlineColour;

    // Picture box: a JPEG as a file path or Qt resource path (":/..."), fitted
    // into the box keeping its proportions.
    std::string picturePath;

    // Progress bar.
    int progressMinimum = 0;
    int progressMaximum = 100;
    int progressPosition = 0;

    // Status bar.
    std::vector<StatusPanel> statusPanels;

    std::vector<EventBinding> events;

    // For assistive technology, where the caption does not name the control
    // (edit boxes, lists, grids). GBK; empty = named by its caption.
    std::string accessibleName;
};

struct WindowDescription {
    // Identifies the open window in every Gui call, e.g. "start", "exam", "bank", "correction".
    std::string id;
    std::string caption; // GBK
    // Outer size, frame included; the client area is 6 px narrower and 29 px lower.
    int width = 0;
    int height = 0;
    std::vector<ControlDescription> controls;
    std::vector<EventBinding> events;
};

} // namespace platform
