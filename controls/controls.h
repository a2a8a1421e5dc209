// The window's controls without a toolkit. Each holds its state, runs its handler
// synchronously (handlers nest: a setter that changes a value runs the handler before it
// returns) and tells an attached view what changed. A user's action reaches a control as
// the action it is (a step, a typed character, a click); the rules for those live here.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelmora {

// A control's kind names its class, which the faces cast to: ScrollBar, EditBox (Edit),
// CheckBox (CheckBox and RadioButton), Button, ComboBox, ProgressBar and Timer; every other
// kind is a plain Control. A face switches over every kind, so the compiler names a face
// that does not know a new one.
enum class ControlKind {
    GroupBox,
    StaticText, // a label in a sunken frame
    Bevel,
    Label,
    Edit,
    ScrollBar,
    CheckBox,
    RadioButton,
    Button,
    ComboBox,
    Panel,
    ProgressBar,
    StatusBar,
    Timer,
};

// What a view must show again.
enum class Change {
    Enabled,
    Visible,
    Caption,
    Font,
    Alignment,
    Position,
    Range,
    Text,
    Selection,
    Checked,
    Items,
    ItemIndex,
    Running,
    AccessibleName,
};

class ControlView {
  public:
    virtual ~ControlView() = default;
    virtual void Changed(Change what) = 0;
};

using Handler = std::function<void()>;

class Control {
  public:
    Control(ControlKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    bool Hidden() const { return !visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    const std::u16string& Caption() const { return caption_; }
    void SetCaption(std::u16string caption);
    const std::u16string& FontFace() const { return fontFace_; }
    void SetFontFace(std::u16string face);
    // What a screen reader calls the control.
    const std::u16string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(std::u16string name);

    // Runs before each of the user's actions that may change the control's value (a bar's
    // step or drag, a typed or deleted character), and only for an enabled control.
    Handler BeforeUserEdit;

    // The index of the control's text in the interface strings; 0: it takes none.
    int HelpContext = 0;
    // Whether the language pass sets the caption and the font.
    bool Translatable = false;

    void AttachView(ControlView* view) { view_ = view; }

  protected:
    void Notify(Change what) const;

  private:
    ControlKind kind_;
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    std::u16string caption_;
    std::u16string fontFace_;
    std::u16string accessibleName_;
    ControlView* view_ = nullptr;
};

// A control with a position that always lies in [Min, Max].
class RangedControl : public Control {
  public:
    int Position() const { return position_; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    // Clamps into the range; tells the view, and PositionChanged, only of a real change.
    void SetPosition(int position);
    // A new range clamps the position into it, with its change handling.
    void SetRange(int min, int max);
    void SetMax(int max) { SetRange(min_, max); }

  protected:
    using Control::Control;
    virtual void PositionChanged() {}

  private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

// A horizontal scroll bar. OnChange runs when its position changes.
class ScrollBar : public RangedControl {
  public:
    explicit ScrollBar(std::string name) : RangedControl(ControlKind::ScrollBar, std::move(name)) {}

    // The user's actions. An arrow and a click in the trough both move by one; dragging the
    // thumb moves to where it is dropped. A disabled bar takes none.
    enum class Step { Left, Right, PageLeft, PageRight };
    void UserStep(Step step);
    void UserTrack(int position);

    Handler OnChange;

  private:
    void PositionChanged() override;
};

// A one-line edit box. OnChange runs on every change of the text, also one the program makes.
class EditBox : public Control {
  public:
    explicit EditBox(std::string name) : Control(ControlKind::Edit, std::move(name)) {}

    const std::u16string& Text() const { return text_; }
    void SetText(std::u16string text);
    bool Centred() const { return centred_; }
    void SetCentred(bool centred);

    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SelectAll();
    // Where the view's caret and selection now stand (clamped to the text).
    void SetSelection(int start, int length);

    // Sees each typed character first; setting it to 0 discards it.
    std::function<void(EditBox& sender, char32_t& key)> OnKeyPress;

    // The user's actions. A typed character replaces the selection (Backspace deletes it,
    // or the character before the caret). Text that arrives without being typed (pasted,
    // dropped) replaces the selection with those of its characters the key filter lets
    // through. A click, and focus moving in from another control, select the whole text.
    void UserType(char32_t key);
    void UserInsert(const std::u16string& text);
    void UserDelete(); // the Delete key: the selection or the character after the caret
    void UserClick();
    void UserEnter();
    void UserLeave(); // the focus moves on to another control

    Handler OnChange;
    Handler OnLeave;

  private:
    void ReplaceSelection(const std::u16string& with);

    std::u16string text_;
    bool centred_ = false;
    int selStart_ = 0;
    int selLength_ = 0;
};

class RadioGroup;

// A check box or a radio button. Setting Checked from the program runs no handler; a
// click by the user checks (a radio button) or toggles (a check box), then runs OnClick.
class CheckBox : public Control {
  public:
    CheckBox(ControlKind kind, std::string name) : Control(kind, std::move(name)) {}

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    void UserClick();

    int Tag = 0;
    RadioGroup* Group = nullptr; // radio buttons only: the buttons that exclude each other
    Handler OnClick;

  private:
    bool checked_ = false;
};

class RadioGroup {
  public:
    void Add(CheckBox& button);
    void Uncheck(const CheckBox& except) const;

  private:
    std::vector<CheckBox*> buttons_;
};

class Button : public Control {
  public:
    explicit Button(std::string name) : Control(ControlKind::Button, std::move(name)) {}
    void UserClick();
    Handler OnClick;
};

// A drop-down list the user can only pick from. OnChange runs when the user picks an entry.
class ComboBox : public Control {
  public:
    explicit ComboBox(std::string name) : Control(ControlKind::ComboBox, std::move(name)) {}

    const std::vector<std::u16string>& Items() const { return items_; }
    void SetItems(std::vector<std::u16string> items); // selects no entry
    int ItemIndex() const { return index_; }
    void SetItemIndex(int index); // -1, or out of range: no entry
    // The selected entry, or "" when none is.
    std::u16string Text() const;
    void UserSelect(int index);
    void UserDropDown(); // the user opens the list: it may be refilled before it shows

    Handler OnChange;
    Handler OnDropDown;

  private:
    std::vector<std::u16string> items_;
    int index_ = -1;
};

// A progress bar: a position in a range that only the program moves.
class ProgressBar : public RangedControl {
  public:
    explicit ProgressBar(std::string name)
        : RangedControl(ControlKind::ProgressBar, std::move(name)) {}
};

// A timer whose face arms a platform timer while it runs, and calls Fire when the interval
// has passed.
class Timer : public Control {
  public:
    explicit Timer(std::string name) : Control(ControlKind::Timer, std::move(name)) {}

    int Interval = 1000;
    bool Running() const { return running_; }
    void Start(); // restarts the interval
    void Stop();
    void Fire(); // runs OnTimer if still running

    Handler OnTimer;

  private:
    bool running_ = false;
};

} // namespace pelmora
