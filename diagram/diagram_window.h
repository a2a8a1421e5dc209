// TForm2, the diagram window: a captionless tool window that shows a picture kept in an
// off-screen image. It is hidden, never destroyed, when closed.
#pragma once

#include <QFrame>
#include <QImage>
#include <QWidget>

#include <functional>

namespace pelmora {

// A picture that paints itself from its own off-screen image.
class TImage : public QWidget {
  public:
    // A white picture of `size` pixels.
    TImage(QSize size, QWidget* parent);

    QImage& Canvas() { return canvas_; }
    void Repaint() { repaint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage canvas_;
};

class TForm2 : public QWidget {
  public:
    explicit TForm2(QWidget* parent = nullptr);

    QFrame* Bevel16 = nullptr;
    TImage* TntImage1 = nullptr;

    // Run when the user closes the window, before it is hidden.
    std::function<void()> OnClose;

    QImage& Canvas() { return TntImage1->Canvas(); }
    // Shows the canvas as it now stands.
    void Repaint() { TntImage1->Repaint(); }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

} // namespace pelmora
