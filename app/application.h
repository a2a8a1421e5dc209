// The application object: holds the title that the task bar and the message boxes show, gives
// every window the program icon, and reports every exception that reaches the event loop in
// the standard error box.
#pragma once

#include <QApplication>

namespace pelmora {

inline const QString ApplicationTitle = QStringLiteral("Pelmora Align Tool  ");

class TApplication : public QApplication {
  public:
    TApplication(int& argc, char** argv);

    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    QString title_ = ApplicationTitle;
};

// The title of the running application object (ApplicationTitle when it is no TApplication).
QString CurrentApplicationTitle();

// Shows the exception being handled in the standard error box. Call only inside a catch block.
void ShowCurrentException();

} // namespace pelmora
