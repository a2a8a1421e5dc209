// The main window's side of the diagram: redraw from the corner bars, the Diagram check box,
// and editing in the picture. A corner moved there moves its two bars as the user's own drag
// of them would, so edit boxes, shift mode and the live step follow as they do for the bars.
#include "app/form.h"

#include "app/control_names.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace pelmora {

namespace {

Point BarPoint(const TForm1& form, int output, ParamKind corner) {
    return {form.Bars[CornerIndex(output, corner, Axis::X)]->Position(),
            form.Bars[CornerIndex(output, corner, Axis::Y)]->Position()};
}

// The handle of the list `handles` that lies `offset` places from `from`, cycling.
DiagramHandle Neighbour(const std::vector<DiagramHandle>& handles,
                        std::optional<DiagramHandle> from, int offset) {
    const auto at = from ? std::find(handles.begin(), handles.end(), *from) : handles.end();
    if (at == handles.end())
        return offset > 0 ? handles.front() : handles.back();
    const int count = int(handles.size());
    return handles[std::size_t(((at - handles.begin()) + offset + count) % count)];
}

} // namespace

DiagramCorners TForm1::Corners() const {
    DiagramCorners corners;
    for (int output = 1; output <= OutputCount; ++output)
        corners[output - 1] = {BarPoint(*this, output, ParamKind::TopLeft),
                               BarPoint(*this, output, ParamKind::TopRight)};
    return corners;
}

void TForm1::DrawDiagram() {
    ++DiagramRedraws;
    if (services_.diagram == nullptr || !DiagramShown)
        return;
    const DiagramCorners corners = Corners();
    DiagramDrawing drawing = LayoutDiagram(corners, SingleOutputMode);
    AddHandleMarks(drawing, corners, SingleOutputMode, HotHandle, SelectedHandle);
    drawing.Status = DiagramStatus();
    services_.diagram->Draw(drawing);
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

// ---- Editing ----

DiagramMapping TForm1::CurrentMapping() const {
    return DiagramMapping::Scaled(diagramWidth_, diagramHeight_);
}

void TForm1::DiagramResized(int width, int height) {
    diagramWidth_ = std::max(width, 1);
    diagramHeight_ = std::max(height, 1);
    DrawDiagram();
}

bool TForm1::DiagramPointerMove(Point pixel) {
    if (drag_) {
        drag_->Pending = pixel;
        const bool schedule = !drag_->Scheduled;
        drag_->Scheduled = true;
        return schedule;
    }
    const auto hot = HitHandle(Corners(), SingleOutputMode, CurrentMapping(), pixel);
    if (hot != HotHandle) {
        HotHandle = hot;
        DrawDiagram();
    }
    return false;
}

void TForm1::DiagramPointerPress(Point pixel) {
    HotHandle = HitHandle(Corners(), SingleOutputMode, CurrentMapping(), pixel);
    SelectedHandle = HotHandle;
    if (HotHandle) {
        BeginGesture(&drag_);
        const Point corner = HandlePoint(Corners(), *HotHandle);
        const Point mark = CurrentMapping().ToPixel(corner);
        drag_ = DiagramDrag{*HotHandle, corner, {pixel.X - mark.X, pixel.Y - mark.Y}, std::nullopt};
    }
    DrawDiagram();
}

// The release's own position is applied last; a failed live write still ends the drag.
void TForm1::DiagramPointerRelease(Point pixel) {
    if (!drag_)
        return;
    drag_->Pending = pixel;
    const auto finish = [this] {
        drag_.reset();
        EndGesture();
        DrawDiagram();
    };
    try {
        DiagramApplyMove();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// Moves that arrive while a move is applied (its live frames pause) only replace the
// pending position; the loop then takes the latest one.
void TForm1::DiagramApplyMove() {
    if (!drag_ || applyingDrag_)
        return;
    applyingDrag_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{applyingDrag_};
    while (drag_ && drag_->Pending) {
        const Point pointer = *drag_->Pending;
        drag_->Pending.reset();
        drag_->Scheduled = false;
        MoveCorner(drag_->Handle, DragTarget(*drag_, pointer));
    }
}

// Where the pointer puts the dragged corner: the logical point under it, less the offset at
// which the handle was grabbed. On an axis where the pointer stands on the corner's own
// pixel the corner keeps its value, so a click moves nothing.
Point TForm1::DragTarget(const DiagramDrag& drag, Point pointer) const {
    const DiagramMapping mapping = CurrentMapping();
    const Point pixel{pointer.X - drag.GrabOffset.X, pointer.Y - drag.GrabOffset.Y};
    const Point mark = mapping.ToPixel(drag.StartCorner);
    const LogicalPoint logical = mapping.ToLogical(pixel);
    return {pixel.X == mark.X ? drag.StartCorner.X : int(std::lround(logical.X)),
            pixel.Y == mark.Y ? drag.StartCorner.Y : int(std::lround(logical.Y))};
}

// The bars take the move as the user's, X first: a disabled bar (a top-right corner in shift
// mode) takes none, and each clamps to its range.
void TForm1::MoveCorner(DiagramHandle handle, Point to) {
    for (const Axis axis : {Axis::X, Axis::Y})
        Bars[CornerIndex(handle.Output, handle.Corner, axis)]->UserTrack(axis == Axis::X ? to.X
                                                                                         : to.Y);
}

bool TForm1::DiagramKeyPress(DiagramKey key, bool shift) {
    const std::vector<DiagramHandle> handles = DiagramHandles(SingleOutputMode);
    if (key == DiagramKey::NextHandle || key == DiagramKey::PreviousHandle) {
        SelectedHandle = Neighbour(handles, SelectedHandle, key == DiagramKey::NextHandle ? 1 : -1);
        DrawDiagram();
        return true;
    }
    if (!SelectedHandle || drag_ ||
        std::find(handles.begin(), handles.end(), *SelectedHandle) == handles.end())
        return false;
    const int step = shift ? 10 : 1;
    Point to = HandlePoint(Corners(), *SelectedHandle);
    to.X += key == DiagramKey::Left ? -step : key == DiagramKey::Right ? step : 0;
    to.Y += key == DiagramKey::Up ? -step : key == DiagramKey::Down ? step : 0;
    BeginGesture(&SelectedHandle);
    MoveCorner(*SelectedHandle, to);
    EndGesture();
    DrawDiagram();
    return true;
}

std::u16string TForm1::DiagramStatus() const {
    if (!SelectedHandle)
        return u"";
    const Point at = HandlePoint(Corners(), *SelectedHandle);
    return CornerName(SelectedHandle->Output, SelectedHandle->Corner, UiStrings) + u": " +
           Utf8ToUtf16(std::to_string(at.X) + ", " + std::to_string(at.Y));
}

} // namespace pelmora
