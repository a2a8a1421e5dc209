// The core form shown by the Qt face, offscreen, with the real diagram window and recorded
// pauses, message boxes and file dialogs.
#pragma once

#include "support/form_fixture.h"
#include "ui/qt/diagram_window.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_services.h"

#include <QEvent>

#include <gtest/gtest.h>

namespace pelmora::testing {

// Counts the paint events that reach a widget.
struct PaintCounter : QObject {
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        Paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class QtFormFixture : public ::testing::Test, public FormServicesUnderTest {
  protected:
    QtFormFixture() : form(WithRealDiagram()), window(form) {
        form2.OnClose = [this] { form.DiagramClosed(); };
        form2.AttachEditor(form);
    }
    ~QtFormFixture() override { form2.hide(); }

    TempFolder home;
    TForm2 form2;
    TForm1 form;
    QtForm window;

  private:
    FormServices WithRealDiagram() {
        FormServices services = For(home.Path());
        services.diagram = &form2;
        return services;
    }
};

} // namespace pelmora::testing
