#pragma once

#include <QDialog>

class QLineEdit;

namespace gishost {

// Asks for a database connection: a "PG:" string or a URI, and its password
// apart, never shown. A password typed into the connection moves to the
// password field once the connection is left.
class ConnectionDialog final : public QDialog {
public:
    // Starts from `connection`, whose password, if any, is taken out.
    explicit ConnectionDialog(const QString& connection, QWidget* parent = nullptr);

    // The connection to open, its password included.
    QString connection() const;
    QLineEdit& connectionField() noexcept { return *connection_; }
    QLineEdit& passwordField() noexcept { return *password_; }

private:
    void takePasswordOut();

    QLineEdit* connection_;
    QLineEdit* password_;
};

} // namespace gishost
