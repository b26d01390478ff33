#pragma once

#include "components/platform/ui/BusyCursor.h"
#include "exchange/Connection.h"

#include <QDialog>
#include <QIcon>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedLayout;
class QTimer;

namespace fc {

class AppSettings;
class PrototypeTable;
class Prompter;

// "Подключение к сеpвеpу ": the connection settings and the registration, thin over
// Connection. The main window creates it hidden, calls registerNow() at start, shows it modally
// from the "!" command and routes the form-recompile button to requestRecompile().
class ConnectionDialog : public QDialog, private ConnectionView {
    Q_OBJECT
public:
    ConnectionDialog(AppSettings& settings, PrototypeTable& prototypes, Prompter& prompter,
                     QWidget* parent = nullptr);

    // The connection button's two pictures.
    static QIcon connectedIcon();
    static QIcon notConnectedIcon();

    Connection& connection() { return connection_; }

public slots:
    // "Регистpация" with the fields as they stand.
    void registerNow();
    void requestRecompile();
    // The timer's tick (also called by tests).
    void tick();

signals:
    // For the connection button: picture and hint.
    void connectionChanged(bool connected, const QString& hint);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void setConnected(bool connected, const std::string& hint) override;
    void setRegistering(bool on) override;
    void setBusy(bool busy) override;
    void setTimer(bool on, int intervalMs) override;
    void closeDialog() override;
    void browse(QLineEdit* edit, const char* title);

    AppSettings& settings_;
    Connection connection_;
    QLineEdit* serverDir_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* reportsDir_;
    QPushButton* register_;
    QLabel* registering_;
    QStackedLayout* stack_ = nullptr;
    QTimer* timer_;
    BusyCursor busy_;
};

} // namespace fc
