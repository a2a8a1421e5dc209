// The main window's side of the diagram: redraw from the corner bars, the Diagram check box.
#include "app/main_window.h"
#include "diagram/diagram_drawing.h"
#include "diagram/diagram_window.h"

namespace pelmora {

namespace {

QPoint BarPoint(const TForm1& form, int output, ParamKind corner) {
    return QPoint(form.Bars[CornerIndex(output, corner, Axis::X)]->value(),
                  form.Bars[CornerIndex(output, corner, Axis::Y)]->value());
}

DiagramCorners CornersOf(const TForm1& form) {
    DiagramCorners corners;
    for (int output = 1; output <= OutputCount; ++output)
        corners[output - 1] = {BarPoint(form, output, ParamKind::TopLeft),
                               BarPoint(form, output, ParamKind::TopRight)};
    return corners;
}

} // namespace

void TForm1::DrawDiagram() {
    ++DiagramRedraws;
    if (Form2 == nullptr || !Form2->isVisible())
        return;
    DrawLayoutDiagram(Form2->Canvas(), CornersOf(*this), SingleOutputMode);
    Form2->Repaint();
}

void TForm1::ImgOnClick() {
    if (Form2 == nullptr)
        return;
    if (!ImgOn->isChecked()) {
        Form2->hide();
        return;
    }
    Form2->show();
    DrawDiagram();
}

} // namespace pelmora
