// TForm2, the diagram window of the Qt face, and the rendering of the diagram's drawing steps.
#pragma once

#include "app/platform.h"
#include "diagram/diagram_drawing.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace pelmora {

class TForm1;

// Renders the diagram's drawing steps into `image` through the isotropic mapping, scaled to
// the image's size.
void RenderDiagram(QImage& image, const DiagramDrawing& drawing);

// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, anywhere in `window`.
void AddUndoShortcuts(QWidget& window, TForm1& form);

// A picture that paints itself from its own off-screen image and hands the pointer and the
// keys to the editor attached to it.
class TImage : public QWidget {
  public:
    TImage(QSize size, QWidget* parent);
    QImage& Canvas() { return canvas_; }
    void Resize(QSize size); // a new, blank canvas
    TForm1* Editor = nullptr;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Forward(const std::function<void()>& action);
    void ShowPointer();

    QImage canvas_;
};

// TForm2, the diagram window: a tool window without a close box or caption text. It is
// hidden, never destroyed, when closed.
class TForm2 final : public QWidget, public DiagramSurface {
  public:
    TForm2();
    QWidget* MainWindow = nullptr; // whose screen the window opens on

    void SetShown(bool shown) override;
    void Draw(const DiagramDrawing& drawing) override;
    // The form whose corners the picture edits and whose steps Ctrl+Z takes back.
    void AttachEditor(TForm1& form);

    TImage* TntImage1 = nullptr;
    std::function<void()> OnClose; // the user closed the window
    int Repaints = 0;              // pictures put on screen

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FitPicture();

    QWidget* bevel_ = nullptr;
    bool placed_ = false;
};

} // namespace pelmora
