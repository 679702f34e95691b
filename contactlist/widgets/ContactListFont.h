#pragma once
// The font of the Contacts list and its phone box: "Tahoma", 14 pixels,
// normal weight (the nearest family the system has when Tahoma is not
// installed).

#include <QFont>

QFont ContactListFont(QFont::Weight weight = QFont::Normal);
