#include "gishost/app/ConnectionDialog.h"

#include "gishost/app/Sources.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace gishost {

ConnectionDialog::ConnectionDialog(const QString& connection, QWidget* parent)
    : QDialog(parent), connection_(new QLineEdit(connection)), password_(new QLineEdit)
{
    setWindowTitle(QStringLiteral("Open Database Connection"));
    connection_->setPlaceholderText(QStringLiteral("PG:host=… dbname=…   or   postgresql://user@host/database"));
    connection_->setMinimumWidth(420);
    password_->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Connection:"), connection_);
    form->addRow(QStringLiteral("&Password:"), password_);
    form->addRow(buttons);
    connect(connection_, &QLineEdit::editingFinished, this, [this] { takePasswordOut(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    takePasswordOut();
}

QString ConnectionDialog::connection() const
{
    Credentials credentials = splitPassword(connection_->text().trimmed());
    if (!password_->text().isEmpty()) credentials.password = password_->text();
    return withPassword(credentials);
}

void ConnectionDialog::takePasswordOut()
{
    const Credentials split = splitPassword(connection_->text());
    if (split.password.isEmpty()) return;
    connection_->setText(split.connection);
    password_->setText(split.password);
}

} // namespace gishost
