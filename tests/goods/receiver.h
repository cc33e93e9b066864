#pragma once
// A stand-in for a window that receives numbered messages.
#include "app/appglobals.h"

#include <QList>
#include <QWidget>

class Receiver : public QWidget, public orv::MessageReceiver {
public:
    using QWidget::QWidget;
    void onWindowMessage(int message) override { messages << message; }
    QList<int> messages;
};
