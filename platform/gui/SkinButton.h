#pragma once
// A skinned push button: reports a tap as a command with its identifier.
// It never takes the keyboard focus, so tapping it leaves the focus with
// the list beside it.

#include "platform/gui/SkinObject.h"

#include <QPushButton>

class CSkinButton : public QPushButton, public CSkinObject {
    Q_OBJECT

public:
    CSkinButton();
    bool Create(QWidget* parent, const QString& component, int id, CSkinRepository* repository) override;

signals:
    void Command(int id);
};
