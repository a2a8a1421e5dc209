// The application object: gives every window the program icon, and reports an exception that
// still reaches the event loop in the standard error box.
#pragma once

#include <QApplication>

namespace pelmora {

class TApplication : public QApplication {
  public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the exception being handled in the standard error box. Call only inside a catch block.
void ShowCurrentException();

} // namespace pelmora
