// The Qt face of the main window: real widgets built from the layout table, each mirroring
// its control both ways. A change of a control reaches its widget; a user's action on a
// widget reaches its control as the action it is. Nothing of the tool's behaviour is
// decided here.
#pragma once

#include "app/form.h"
#include "serial/port_watch.h"

#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QLineEdit;
class QScrollBar;

namespace pelmora {

class QtUiHandoff;

class QtForm final : public QWidget {
  public:
    explicit QtForm(TForm1& form, QWidget* parent = nullptr);
    ~QtForm() override;

    TForm1& Form() { return form_; }
    // The widget of the control of that name; nullptr when there is none.
    QWidget* Widget(std::string_view name) const;
    template <class W> W* Widget(std::string_view name) const {
        return qobject_cast<W*>(Widget(name));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildWidgets();
    void BuildStatusBarPanels();
    void ArrangeTabOrder();
    void ColourOutputGroups();
    ControlView& Attach(Control& control, QWidget* widget);
    void ForwardInput(Control& control, QWidget* widget, ControlView& view);
    void ForwardBar(ScrollBar& bar, QScrollBar& slider);
    void ForwardEdit(EditBox& edit, QLineEdit& line, ControlView& view);
    void Guarded(const std::function<void()>& action) { form_.RunGuarded(action); }
    void WatchPorts();
    bool EditEvent(EditBox& edit, QWidget& widget, QEvent& event);
    bool BarEvent(QScrollBar& bar, QEvent& event);

    TForm1& form_;
    std::unordered_map<std::string_view, QWidget*> widgets_;
    std::unordered_map<QObject*, EditBox*> edits_;
    std::unordered_set<QObject*> bars_;
    std::vector<std::unique_ptr<ControlView>> views_;
    QTimer timer1_;
    PortWatch portWatch_;
    std::unique_ptr<QtUiHandoff> handoff_; // destroyed before the form's port
};

} // namespace pelmora
