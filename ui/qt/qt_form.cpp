#include "ui/qt/qt_form.h"

#include "app/layout.h"
#include "diagram/diagram_drawing.h"
#include "ui/qt/diagram_window.h"
#include "ui/qt/qt_ui_handoff.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <QStylePainter>

#include <optional>

namespace pelmora {

namespace {

// A drop-down list that tells its control before it opens, so the list can be refilled.
class ListBox final : public QComboBox {
  public:
    using QComboBox::QComboBox;
    std::function<void()> Opening;
    void showPopup() override {
        if (Opening)
            Opening();
        QComboBox::showPopup();
    }
};

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

QFont WindowFont(int pixels) {
    QFont font(Q(DefaultInterfaceFont));
    font.setPixelSize(pixels);
    return font;
}

// A scroll bar's keys step as the tool's bars do everywhere: Right and Down raise by one,
// Left and Up lower, Page Down and Page Up likewise, Home and End go to the ends. (A
// horizontal QScrollBar inverts its arrow keys by default.)
std::optional<QAbstractSlider::SliderAction> BarActionOf(int key) {
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return std::nullopt;
    }
}

// The focus mark of a focused bar: the style's focus frame around its thumb, however the
// focus came.
void PaintFocusMark(QScrollBar& bar) {
    QStyleOptionSlider slider;
    slider.initFrom(&bar);
    slider.orientation = bar.orientation();
    slider.minimum = bar.minimum();
    slider.maximum = bar.maximum();
    slider.sliderPosition = bar.sliderPosition();
    slider.sliderValue = bar.value();
    slider.singleStep = bar.singleStep();
    slider.pageStep = bar.pageStep();
    QStyleOptionFocusRect mark;
    mark.initFrom(&bar);
    mark.state |= QStyle::State_KeyboardFocusChange;
    mark.rect = bar.style()->subControlRect(QStyle::CC_ScrollBar, &slider,
                                            QStyle::SC_ScrollBarSlider, &bar);
    QStylePainter painter(&bar);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, mark);
}

QWidget* CreateWidget(ControlKind kind, QWidget* parent) {
    switch (kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(parent);
    case ControlKind::StaticText: {
        auto* text = new QLabel(parent);
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        text->setAlignment(Qt::AlignCenter);
        text->setAutoFillBackground(true); // a frame line behind it does not show through
        return text;
    }
    case ControlKind::Bevel: {
        auto* bevel = new QFrame(parent);
        bevel->setFrameStyle(QFrame::Box | QFrame::Raised);
        return bevel;
    }
    case ControlKind::Label:
        return new QLabel(parent);
    case ControlKind::Edit:
        return new QLineEdit(parent);
    case ControlKind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Horizontal, parent);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        return bar;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(parent);
    case ControlKind::RadioButton:
        return new QRadioButton(parent);
    case ControlKind::Button:
        return new QPushButton(parent);
    case ControlKind::ComboBox:
        return new ListBox(parent);
    case ControlKind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Box | QFrame::Plain);
        panel->setContentsMargins(5, 5, 5, 5);
        return panel;
    }
    case ControlKind::ProgressBar: {
        auto* progress = new QProgressBar(parent);
        progress->setTextVisible(false);
        // Opaque, so that a step repaints the bar alone and not the panel and window behind it.
        progress->setAutoFillBackground(true);
        return progress;
    }
    case ControlKind::StatusBar:
    case ControlKind::Timer:
        break;
    }
    return new QWidget(parent);
}

void SetGeometry(QWidget* widget, const Rect& geometry) {
    if (geometry.Width > 0) {
        widget->setGeometry(geometry.Left, geometry.Top, geometry.Width, geometry.Height);
        return;
    }
    widget->move(geometry.Left, geometry.Top);
    widget->adjustSize();
}

void SetCaption(QWidget* widget, const QString& caption) {
    if (widget->isWindow())
        widget->setWindowTitle(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(caption);
}

void ShowSelection(QLineEdit& widget, const EditBox& edit) {
    if (edit.SelLength() > 0)
        widget.setSelection(edit.SelStart(), edit.SelLength());
    else
        widget.setCursorPosition(edit.SelStart());
}

// Shows one control's state on its widget; the widget's own signals stay quiet meanwhile.
class WidgetView final : public ControlView {
  public:
    WidgetView(Control& control, QWidget* widget) : control_(control), widget_(widget) {}

    void Changed(Change what) override {
        const QSignalBlocker quiet(widget_);
        switch (what) {
        case Change::Enabled:
            widget_->setEnabled(control_.Enabled());
            break;
        case Change::Visible:
            widget_->setVisible(control_.Visible());
            break;
        case Change::Caption:
            SetCaption(widget_, Q(control_.Caption()));
            break;
        case Change::Font: {
            QFont font = widget_->font();
            font.setFamily(Q(control_.FontFace()));
            widget_->setFont(font);
            break;
        }
        case Change::AccessibleName:
            widget_->setAccessibleName(Q(control_.AccessibleName()));
            break;
        default:
            ShowValue(what);
        }
    }

    // Everything the control holds, as the widget is first shown.
    void ShowAll() {
        for (Change what : {Change::Enabled, Change::Caption, Change::Font, Change::Alignment,
                            Change::Range, Change::Position, Change::Text, Change::Checked,
                            Change::Items, Change::ItemIndex, Change::AccessibleName})
            Changed(what);
        if (!control_.Visible())
            Changed(Change::Visible);
    }

  private:
    void ShowValue(Change what) {
        switch (control_.Kind()) {
        case ControlKind::ScrollBar:
            ShowBar(static_cast<ScrollBar&>(control_), what);
            break;
        case ControlKind::Edit:
            ShowEdit(static_cast<EditBox&>(control_), what);
            break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            if (what == Change::Checked)
                static_cast<QAbstractButton*>(widget_)->setChecked(
                    static_cast<CheckBox&>(control_).Checked());
            break;
        case ControlKind::ComboBox:
            ShowList(static_cast<ComboBox&>(control_), what);
            break;
        case ControlKind::ProgressBar:
            ShowProgress(static_cast<ProgressBar&>(control_), what);
            break;
        case ControlKind::GroupBox:
        case ControlKind::StaticText:
        case ControlKind::Bevel:
        case ControlKind::Label:
        case ControlKind::Button:
        case ControlKind::Panel:
        case ControlKind::StatusBar:
        case ControlKind::Timer:
            break; // a caption, a font and visibility are all they show
        }
    }

    void ShowBar(const ScrollBar& bar, Change what) {
        auto* slider = static_cast<QScrollBar*>(widget_);
        if (what == Change::Range)
            slider->setRange(bar.Min(), bar.Max());
        if (what == Change::Position)
            slider->setValue(bar.Position());
    }

    void ShowEdit(const EditBox& edit, Change what) {
        auto* line = static_cast<QLineEdit*>(widget_);
        if (what == Change::Text && line->text() != Q(edit.Text()))
            line->setText(Q(edit.Text()));
        if (what == Change::Alignment)
            line->setAlignment(edit.Centred() ? Qt::AlignCenter : Qt::AlignLeft);
        if (what == Change::Text || what == Change::Selection)
            ShowSelection(*line, edit);
    }

    void ShowList(const ComboBox& list, Change what) {
        auto* combo = static_cast<QComboBox*>(widget_);
        if (what == Change::Items) {
            combo->clear();
            for (const std::u16string& item : list.Items())
                combo->addItem(Q(item));
        }
        if (what == Change::Items || what == Change::ItemIndex)
            combo->setCurrentIndex(list.ItemIndex());
    }

    void ShowProgress(const ProgressBar& progress, Change what) {
        // QProgressBar repaints at once on some changes; these wait for the next update.
        auto* bar = static_cast<QProgressBar*>(widget_);
        bar->setUpdatesEnabled(false);
        if (what == Change::Range)
            bar->setRange(progress.Min(), progress.Max());
        if (what == Change::Position)
            bar->setValue(progress.Position());
        bar->setUpdatesEnabled(true);
    }

    Control& control_;
    QWidget* widget_;
};

// Arms the Qt timer while the form's timer runs.
class TimerView final : public ControlView {
  public:
    TimerView(Timer& timer, QTimer& qtTimer) : timer_(timer), qtTimer_(qtTimer) {}
    void Changed(Change what) override {
        if (what != Change::Running)
            return;
        if (timer_.Running())
            qtTimer_.start(timer_.Interval);
        else
            qtTimer_.stop();
    }

  private:
    Timer& timer_;
    QTimer& qtTimer_;
};

ScrollBar::Step StepOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollBar::Step::Left;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollBar::Step::Right;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollBar::Step::PageLeft;
    default:
        return ScrollBar::Step::PageRight;
    }
}

// Only focus that moves in from another control selects the text, not the window becoming
// active again.
bool EntersFromAnotherControl(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// The character a key press types: Backspace types 8 and Ctrl+Backspace 127, as on the
// tool's original platform; 0 for keys that type nothing.
char32_t TypedCharacter(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Backspace)
        return event.modifiers() & Qt::ControlModifier ? 127 : 8;
    const QList<uint> text = event.text().toUcs4();
    return text.isEmpty() ? 0 : char32_t(text.front());
}

// Undo and redo belong to the window, not to the edit box's own text.
bool IsUndoKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Z && (modifiers == Qt::ControlModifier ||
                                         modifiers == (Qt::ControlModifier | Qt::ShiftModifier))) ||
           (event.key() == Qt::Key_Y && modifiers == Qt::ControlModifier);
}

// Keys the edit box handles itself: they move the caret, change the selection or the focus.
bool IsNavigationKey(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return event.matches(QKeySequence::SelectAll) || event.matches(QKeySequence::Copy);
    }
}

} // namespace

QtForm::QtForm(TForm1& form, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      form_(form) {
    setObjectName(QStringLiteral("Form1"));
    setFont(WindowFont(WindowFontPixels));
    setFixedSize(ClientSize.Width, ClientSize.Height);
    BuildWidgets();
    BuildStatusBarPanels();
    ColourOutputGroups();
    ArrangeTabOrder();
    Attach(form_.Window, this);
    auto timer = std::make_unique<TimerView>(form_.Timer1, timer1_);
    form_.Timer1.AttachView(timer.get());
    views_.push_back(std::move(timer));
    timer1_.setTimerType(Qt::PreciseTimer); // the watchdog never fires before its 2000 ms
    connect(&timer1_, &QTimer::timeout, this, [this] { Guarded([this] { form_.Timer1.Fire(); }); });
    handoff_ = std::make_unique<QtUiHandoff>(form_.ComPort1);
    AddUndoShortcuts(*this, form_);
    WatchPorts();
}

// Ports that come or go while the window is open reach the port list at once.
void QtForm::WatchPorts() {
    if (portWatch_.Descriptor() < 0)
        return;
    auto* notifier = new QSocketNotifier(portWatch_.Descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        if (portWatch_.Drain())
            Guarded([this] { form_.RefreshPortList(); });
    });
}

QtForm::~QtForm() {
    handoff_.reset();
    for (const auto& control : form_.Components)
        control->AttachView(nullptr);
    form_.Window.AttachView(nullptr);
    form_.Timer1.AttachView(nullptr);
}

QWidget* QtForm::Widget(std::string_view name) const {
    const auto found = widgets_.find(name);
    return found == widgets_.end() ? nullptr : found->second;
}

void QtForm::BuildWidgets() {
    const std::vector<ControlRow>& rows = LayoutRows();
    for (const ControlRow& row : rows) {
        QWidget* parent = row.Parent.empty() ? this : Widget(row.Parent);
        QWidget* widget = CreateWidget(row.Kind, parent);
        widget->setObjectName(QString::fromStdString(row.Name));
        widget->setFont(WindowFont(row.FontPixels != 0 ? row.FontPixels : WindowFontPixels));
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setTextFormat(Qt::PlainText);
        Control& control = *form_.Find(row.Name);
        widgets_[control.Name()] = widget;
        ControlView& view = Attach(control, widget);
        SetGeometry(widget, row.Geometry);
        if (row.Kind == ControlKind::Bevel)
            widget->lower(); // frames lie beneath the controls they surround
        ForwardInput(control, widget, view);
    }
}

void QtForm::BuildStatusBarPanels() {
    QWidget* bar = Widget("STBar");
    int left = 0;
    for (const StatusPanelLayout& layout : StatusBarPanels) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString::fromStdString(layout.Name));
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setGeometry(left, 0, layout.Width, bar->height());
        if (layout.Centred)
            panel->setAlignment(Qt::AlignCenter);
        left += layout.Width;
        Control& control = *form_.Find(layout.Name);
        widgets_[control.Name()] = panel;
        Attach(control, panel);
    }
}

// Only the group's caption takes the colour: its children keep the window's text colours,
// in every state, so that a disabled control still looks disabled.
void QtForm::ColourOutputGroups() {
    constexpr QPalette::ColorGroup States[] = {QPalette::Active, QPalette::Inactive,
                                               QPalette::Disabled};
    constexpr QPalette::ColorRole TextRoles[] = {QPalette::WindowText, QPalette::Text};
    for (int output = 1; output <= OutputCount; ++output) {
        QWidget* group = Widget(OutputGroupName(output));
        for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QPalette palette = child->palette();
            for (QPalette::ColorGroup state : States)
                for (QPalette::ColorRole role : TextRoles)
                    palette.setColor(state, role, this->palette().color(state, role));
            child->setPalette(palette);
        }
        const Rgb rgb = OutputColours[output - 1];
        QPalette palette = group->palette();
        for (QPalette::ColorRole role : TextRoles) {
            palette.setColor(QPalette::Active, role, QColor(rgb.R, rgb.G, rgb.B));
            palette.setColor(QPalette::Inactive, role, QColor(rgb.R, rgb.G, rgb.B));
        }
        group->setPalette(palette);
    }
}

void QtForm::ArrangeTabOrder() {
    QWidget* previous = nullptr;
    for (const char* groupName : TabOrderGroups) {
        for (QWidget* control :
             Widget(groupName)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if ((control->focusPolicy() & Qt::TabFocus) == 0)
                continue;
            if (previous != nullptr)
                setTabOrder(previous, control);
            previous = control;
        }
    }
}

ControlView& QtForm::Attach(Control& control, QWidget* widget) {
    auto view = std::make_unique<WidgetView>(control, widget);
    view->ShowAll();
    control.AttachView(view.get());
    views_.push_back(std::move(view));
    return *views_.back();
}

void QtForm::ForwardInput(Control& control, QWidget* widget, ControlView& view) {
    switch (control.Kind()) {
    case ControlKind::ScrollBar:
        ForwardBar(static_cast<ScrollBar&>(control), *static_cast<QScrollBar*>(widget));
        break;
    case ControlKind::Edit:
        ForwardEdit(static_cast<EditBox&>(control), *static_cast<QLineEdit*>(widget), view);
        break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                [this, box = &static_cast<CheckBox&>(control), &view] {
                    Guarded([box] { box->UserClick(); });
                    view.Changed(Change::Checked);
                });
        break;
    case ControlKind::Button:
        connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                [this, button = &static_cast<Button&>(control)] {
                    Guarded([button] { button->UserClick(); });
                });
        break;
    case ControlKind::ComboBox:
        connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this,
                [this, list = &static_cast<ComboBox&>(control)](int index) {
                    Guarded([list, index] { list->UserSelect(index); });
                });
        static_cast<ListBox*>(widget)->Opening = [this, list = &static_cast<ComboBox&>(control)] {
            Guarded([list] { list->UserDropDown(); });
        };
        break;
    case ControlKind::GroupBox:
    case ControlKind::StaticText:
    case ControlKind::Bevel:
    case ControlKind::Label:
    case ControlKind::Panel:
    case ControlKind::ProgressBar:
    case ControlKind::StatusBar:
    case ControlKind::Timer:
        break; // the user does nothing to these
    }
}

void QtForm::ForwardBar(ScrollBar& bar, QScrollBar& slider) {
    bars_.insert(&slider);
    slider.installEventFilter(this);
    connect(&slider, &QAbstractSlider::actionTriggered, this, [this, &bar, &slider](int action) {
        Guarded([&] {
            if (action == QAbstractSlider::SliderMove ||
                action == QAbstractSlider::SliderToMinimum ||
                action == QAbstractSlider::SliderToMaximum)
                bar.UserTrack(slider.sliderPosition());
            else if (action != QAbstractSlider::SliderNoAction)
                bar.UserStep(StepOf(action));
        });
    });
}

void QtForm::ForwardEdit(EditBox& edit, QLineEdit& line, ControlView& view) {
    edits_[&line] = &edit;
    line.installEventFilter(this);
    const auto keepSelection = [&edit, &line] {
        const bool selected = line.hasSelectedText();
        edit.SetSelection(selected ? line.selectionStart() : line.cursorPosition(),
                          selected ? int(line.selectedText().size()) : 0);
    };
    connect(&line, &QLineEdit::selectionChanged, this, keepSelection);
    connect(&line, &QLineEdit::cursorPositionChanged, this, keepSelection);
    // Any other change the widget made itself (an undo, a menu's paste): the box's text is the
    // control's, so it is shown again.
    connect(&line, &QLineEdit::textEdited, this, [&view] { view.Changed(Change::Text); });
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    if (bars_.contains(watched))
        return BarEvent(*static_cast<QScrollBar*>(watched), *event);
    const auto found = edits_.find(watched);
    if (found == edits_.end() || !static_cast<QWidget*>(watched)->isEnabled())
        return QWidget::eventFilter(watched, event);
    return EditEvent(*found->second, *static_cast<QWidget*>(watched), *event);
}

bool QtForm::BarEvent(QScrollBar& bar, QEvent& event) {
    if (event.type() == QEvent::KeyPress) {
        const auto action = BarActionOf(static_cast<const QKeyEvent&>(event).key());
        if (action)
            bar.triggerAction(*action);
        return action.has_value();
    }
    if (event.type() == QEvent::Paint && bar.hasFocus()) {
        static_cast<QObject&>(bar).event(&event); // the bar itself first, then its mark
        PaintFocusMark(bar);
        return true;
    }
    return false;
}

// Keys, clicks, focus, pastes and drops of an edit box go to its control; the widget keeps
// only caret movement and selection.
bool QtForm::EditEvent(EditBox& edit, QWidget& widget, QEvent& event) {
    switch (event.type()) {
    case QEvent::KeyPress: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        if (IsNavigationKey(key))
            return false;
        if (key.matches(QKeySequence::Paste))
            Guarded([&] { edit.UserInsert(QApplication::clipboard()->text().toStdU16String()); });
        else if (key.key() == Qt::Key_Delete)
            Guarded([&] { edit.UserDelete(); });
        else if (const char32_t typed = TypedCharacter(key))
            Guarded([&] { edit.UserType(typed); });
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        if (mouse.button() == Qt::MiddleButton) {
            if (event.type() == QEvent::MouseButtonRelease)
                Guarded([&] {
                    edit.UserInsert(
                        QApplication::clipboard()->text(QClipboard::Selection).toStdU16String());
                });
            return true;
        }
        if (event.type() != QEvent::MouseButtonRelease || mouse.button() != Qt::LeftButton)
            return false;
        static_cast<QObject&>(widget).event(&event); // the box places its caret first
        Guarded([&] { edit.UserClick(); });
        return true;
    }
    case QEvent::ShortcutOverride: // left unaccepted, so that the window's shortcut runs
        return IsUndoKey(static_cast<const QKeyEvent&>(event));
    case QEvent::FocusOut:
        Guarded([&] { edit.UserLeave(); });
        return false;
    case QEvent::FocusIn:
        static_cast<QObject&>(widget).event(&event);
        if (EntersFromAnotherControl(static_cast<const QFocusEvent&>(event).reason()))
            Guarded([&] { edit.UserEnter(); });
        return true;
    case QEvent::Drop: {
        const QMimeData* data = static_cast<const QDropEvent&>(event).mimeData();
        Guarded([&] { edit.UserInsert(data->text().toStdU16String()); });
        return true;
    }
    default:
        return false;
    }
}

} // namespace pelmora
