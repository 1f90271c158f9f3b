#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// The org.freedesktop.Application interface through which a desktop, or a second start of the
// program, asks the running one to come to the front, open files or run one of its actions.
class ApplicationAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationAdaptor(QObject *parent);

public slots:
    void Activate(const QVariantMap &platformData);
    void Open(const QStringList &uris, const QVariantMap &platformData);
    void ActivateAction(const QString &actionName, const QVariantList &parameter, const QVariantMap &platformData);

signals:
    // The program is asked to show itself; platformData carries the start-up token, if any.
    void activated(const QVariantMap &platformData);
    void actionActivated(const QString &actionName, const QVariantMap &platformData);
};
