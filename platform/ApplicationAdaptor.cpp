#include "ApplicationAdaptor.h"

ApplicationAdaptor::ApplicationAdaptor(QObject *parent) : QDBusAbstractAdaptor(parent)
{
}

void ApplicationAdaptor::Activate(const QVariantMap &platformData)
{
    emit activated(platformData);
}

// The program opens no documents: asked to open some, it shows itself.
void ApplicationAdaptor::Open(const QStringList &, const QVariantMap &platformData)
{
    emit activated(platformData);
}

void ApplicationAdaptor::ActivateAction(const QString &actionName, const QVariantList &, const QVariantMap &platformData)
{
    emit actionActivated(actionName, platformData);
}
