// SIGTERM, SIGHUP and SIGINT as a Qt signal delivered by the event loop.
// The handler only writes the signal's number to a socket pair, which a
// QSocketNotifier watches; everything else happens outside the handler.
#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace vz {

class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance at a time.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Restores the handlers that were there before.
    ~TerminationSignals() override;

signals:
    void received(int signal_number);

private:
    void read_pending();

    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3];
    bool installed_[3] = {};  // signals ignored at start (nohup) stay ignored
};

}  // namespace vz
