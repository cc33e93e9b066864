#pragma once
// A stand-in for a document window that opens the pickers: it has the fields a real window
// of that name has, takes what is set into them, and records every message.
#include "app/appglobals.h"

#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QWidget>

struct FieldSet {
    orv::FieldRole role;
    QString which;
    QString value;
    bool operator==(const FieldSet &o) const { return role == o.role && which == o.which && value == o.value; }
};
Q_DECLARE_METATYPE(QList<FieldSet>)

class FieldReceiver : public QWidget, public orv::MessageReceiver {
public:
    FieldReceiver(const QString &instanceName, const QStringList &fields) : m_fields(fields)
    {
        setObjectName(instanceName);
    }
    void onWindowMessage(int message) override { messages << message; }
    bool setField(orv::FieldRole role, const QString &which, const QString &value) override
    {
        if (!m_fields.contains(which))
            return false;
        got << FieldSet{role, which, value};
        return true;
    }
    QList<int> messages;
    QList<FieldSet> got;

private:
    QStringList m_fields;
};
