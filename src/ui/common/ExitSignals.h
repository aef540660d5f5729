#pragma once
// SIGTERM, SIGHUP (a logout or shut-down) and SIGINT turned into a Qt signal
// on the event loop, where the program can end as it does on Exit: a handler
// itself may do nothing but write a byte.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace zorvex {

class ExitSignals : public QObject {
    Q_OBJECT
public:
    /// Installs the handlers; one instance per program.
    explicit ExitSignals(QObject* parent = nullptr);
    ~ExitSignals() override;

signals:
    /// One of the signals arrived; `name` is "SIGTERM", "SIGHUP" or "SIGINT".
    void received(const QString& name);

private:
    void readSignal();
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zorvex
