// Editor bindings: scroll bars, edit boxes and value labels kept in step.
//
// Every setter used here (QScrollBar::setValue, QLineEdit::setText) runs the handler of the
// control it sets before it returns, and only when the value really changes; that nesting is
// how a typed value reaches its scroll bar and a scroll-bar position reaches its views.
#include "app/handler_guard.h"
#include "app/main_window.h"
#include "editor/edit_parsing.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

namespace pelmora {

namespace {

QString DecimalText(int value) {
    return QString::number(value);
}

// The edit box's text as a number; "0" replaces any text that is not one.
int TakeValidValue(QLineEdit& edit) {
    if (const auto value = ParseInt32(edit.text().toStdString()))
        return *value;
    SetEditText(edit, DecimalText(0));
    return 0;
}

int ParseOrZero(const QLineEdit& edit) {
    return ParseInt32(edit.text().toStdString()).value_or(0);
}

// ---- Scroll-bar handling, one function per kind of parameter ----

void TopRightBarChange(TForm1& form, const ParameterInfo& info) {
    const QString text = DecimalText(form.Bars[info.index]->value());
    form.Values[info.index]->setText(text);
    SetEditText(*form.Edits[info.index], text);
    form.DrawDiagram();
    form.LiveStep(info.index);
}

// A shifted top-left corner first moves its top-right corner along, then is handled like it.
void TopLeftBarChange(TForm1& form, const ParameterInfo& info) {
    if (form.ShiftModes[info.output - 1]->isChecked() && !form.ShiftStep(info.output, info.axis))
        return; // the refusal has already shown, drawn and sent the reference value
    TopRightBarChange(form, info);
}

// Warp ratio and loop range show the value in their label, warp position and loop time in
// their edit box.
void SettingBarChange(TForm1& form, const ParameterInfo& info) {
    const QString text = DecimalText(form.Bars[info.index]->value());
    if (QLineEdit* edit = form.Edits[info.index])
        SetEditText(*edit, text);
    else
        form.Values[info.index]->setText(text);
    form.LiveStep(info.index);
}

using BarHandler = void (*)(TForm1&, const ParameterInfo&);

static_assert(static_cast<int>(ParamKind::LoopTime) == 5, "handler tables follow ParamKind");

// By ParamKind: TopLeft, TopRight, WarpRatio, WarpPosition, LoopRange, LoopTime.
constexpr std::array<BarHandler, 6> BarHandlers = {
    TopLeftBarChange, TopRightBarChange, SettingBarChange,
    SettingBarChange, SettingBarChange,  SettingBarChange,
};

// ---- Edit handling, one function per kind of edit box ----

void CornerEditChange(TForm1& form, const ParameterInfo& info) {
    QLineEdit& edit = *form.Edits[info.index];
    const int limit = EditLimitValue(info, form.Limits);
    if (AboveLimitUnsigned(TakeValidValue(edit), limit))
        SetEditText(edit, DecimalText(limit));
    form.Values[info.index]->setText(edit.text());
    SetPosition(*form.Bars[info.index], ParseOrZero(edit));
}

void WarpPositionEditChange(TForm1& form, const ParameterInfo& info) {
    QLineEdit& edit = *form.Edits[info.index];
    const int limit = EditLimitValue(info, form.Limits);
    if (AboveLimitSigned(TakeValidValue(edit), limit))
        SetEditText(edit, DecimalText(limit));
    SetPosition(*form.Bars[info.index], ParseOrZero(edit));
}

// The value taken goes to the bar as it is; the text is not read a second time.
void LoopTimeEditChange(TForm1& form, const ParameterInfo& info) {
    QLineEdit& edit = *form.Edits[info.index];
    const int limit = EditLimitValue(info, form.Limits);
    int value = TakeValidValue(edit);
    if (AboveLimitSigned(value, limit)) {
        SetEditText(edit, DecimalText(limit));
        value = limit;
    }
    SetPosition(*form.Bars[info.index], value);
}

using EditHandler = void (*)(TForm1&, const ParameterInfo&);

// By ParamKind; nullptr for the kinds without an edit box.
constexpr std::array<EditHandler, 6> EditHandlers = {
    CornerEditChange,       CornerEditChange, nullptr,
    WarpPositionEditChange, nullptr,          LoopTimeEditChange,
};

// ---- Key filter and select-all ----

// Ctrl+Backspace types DEL, a control character like any other the filter drops.
constexpr char32_t DeleteCharacter = 127;

// The character a key press types; keys that only move, delete or change the focus type none.
char32_t TypedCharacter(const QKeyEvent& event) {
    const bool control = event.modifiers().testFlag(Qt::ControlModifier);
    switch (event.key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return NoCharacter;
    case Qt::Key_Backspace:
        return control ? DeleteCharacter : BackspaceCharacter;
    default:
        break;
    }
    const QString text = event.text();
    return text.isEmpty() ? NoCharacter : text.toUcs4().value(0);
}

// True when the key press is consumed.
bool FilterKeyPress(QLineEdit& edit, const QKeyEvent& event) {
    switch (FilterTypedCharacter(TypedCharacter(event))) {
    case KeyAction::Pass:
        return false;
    case KeyAction::SelectAll:
        edit.selectAll();
        return true;
    case KeyAction::Discard:
        return true;
    }
    return true;
}

// The ways text would reach a box without a typed character: a paste shortcut (Shift+Insert
// types none), a middle click pasting the selection, and a drag and drop.
bool BringsTextPastTheKeyFilter(const QEvent& e) {
    switch (e.type()) {
    case QEvent::KeyPress:
        return static_cast<const QKeyEvent&>(e).matches(QKeySequence::Paste);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<const QMouseEvent&>(e).button() == Qt::MiddleButton;
    case QEvent::DragEnter: // a drag refused on entering brings no drop
        return true;
    default:
        return false;
    }
}

// Focus that comes back with the window (or after a menu) is no move into the box: the caret
// stays where the user left it.
bool EntersFromAnotherControl(const QFocusEvent& e) {
    return e.reason() != Qt::ActiveWindowFocusReason && e.reason() != Qt::PopupFocusReason;
}

} // namespace

void TForm1::BarChange(int index) {
    const ParameterInfo& info = Parameters[index];
    BarHandlers[static_cast<std::size_t>(info.kind)](*this, info);
}

void TForm1::EditChange(int index) {
    const ParameterInfo& info = Parameters[index];
    if (EditHandler handler = EditHandlers[static_cast<std::size_t>(info.kind)])
        handler(*this, info);
}

void TForm1::TEditClick(QLineEdit* edit) {
    edit->selectAll();
}

void TForm1::TEditEnter(QLineEdit* edit) {
    edit->selectAll();
}

// Installed on the 19 edit boxes. Clicks and focus changes are handled by the box first, so
// that the whole text is selected after the box has placed its caret.
bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == nullptr || !edit->isEnabled())
        return QWidget::eventFilter(watched, e);
    if (BringsTextPastTheKeyFilter(*e)) {
        e->ignore();
        return true;
    }
    switch (e->type()) {
    case QEvent::KeyPress:
        return FilterKeyPress(*edit, static_cast<const QKeyEvent&>(*e));
    case QEvent::MouseButtonRelease:
        if (static_cast<const QMouseEvent*>(e)->button() != Qt::LeftButton)
            break;
        watched->event(e);
        TEditClick(edit);
        return true;
    case QEvent::FocusIn:
        watched->event(e);
        if (!EntersFromAnotherControl(static_cast<const QFocusEvent&>(*e)))
            return true;
        if (edit == Edits[CornerIndex(1, ParamKind::TopLeft, Axis::X)])
            TEditEnter(edit);
        else
            TEditClick(edit);
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace pelmora
