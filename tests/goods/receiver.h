#pragma once
// A stand-in for a window that receives numbered messages and fields set by role.
#include "app/appglobals.h"

#include <QList>
#include <QString>
#include <QWidget>

class Receiver : public QWidget, public orv::MessageReceiver {
public:
    using QWidget::QWidget;
    void onWindowMessage(int message) override { messages << message; }
    bool setField(orv::FieldRole role, const QString &which, const QString &value) override
    {
        fields << Set{role, which, value};
        return true;
    }
    struct Set {
        orv::FieldRole role;
        QString which, value;
    };
    QList<int> messages;
    QList<Set> fields;
    // The value last set for a role; empty when none was.
    QString field(orv::FieldRole role) const
    {
        for (auto it = fields.crbegin(); it != fields.crend(); ++it)
            if (it->role == role)
                return it->value;
        return QString();
    }
};
