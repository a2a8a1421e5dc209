// The main window's side of the diagram: redraw from the corner bars, the Diagram check box.
#include "app/form.h"

#include "diagram/diagram_drawing.h"

namespace pelmora {

namespace {

Point BarPoint(const TForm1& form, int output, ParamKind corner) {
    return {form.Bars[CornerIndex(output, corner, Axis::X)]->Position(),
            form.Bars[CornerIndex(output, corner, Axis::Y)]->Position()};
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
    if (services_.diagram == nullptr || !DiagramShown)
        return;
    services_.diagram->Draw(LayoutDiagram(CornersOf(*this), SingleOutputMode));
}

void TForm1::ImgOnClick() {
    if (services_.diagram == nullptr)
        return;
    DiagramShown = ImgOn->Checked();
    services_.diagram->SetShown(DiagramShown);
    if (DiagramShown)
        DrawDiagram();
}

void TForm1::DiagramClosed() {
    ImgOn->SetChecked(false);
    ImgOnClick();
}

} // namespace pelmora
