// TForm2, the diagram window of the Qt face, and the rendering of the diagram's drawing steps.
#pragma once

#include "app/platform.h"
#include "diagram/diagram_drawing.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace pelmora {

// Renders the diagram's drawing steps into `image` through the isotropic mapping.
void RenderDiagram(QImage& image, const DiagramDrawing& drawing);

// A picture that paints itself from its own off-screen image.
class TImage : public QWidget {
  public:
    TImage(QSize size, QWidget* parent);
    QImage& Canvas() { return canvas_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
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

    TImage* TntImage1 = nullptr;
    std::function<void()> OnClose; // the user closed the window
    int Repaints = 0;              // pictures put on screen

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool placed_ = false;
};

} // namespace pelmora
