#pragma once
// Small rules on a contact's default field that the list and its phone
// box share: which field a list with a filter shows, and which field a
// tag names.

#include "contactlist/ContactRecord.h"

#include <QString>

// When the record's default field is absent (a spoilt cache) or not one
// that `filter` shows, its first present field that the filter shows
// becomes the default (the record is shared: every list sees the change).
// Returns true when the default changed.
bool AdjustDefaultField(tagCONTACT& record, int filter);
// The present field of the record whose tag is `tag` (ignoring case),
// or -1.
int PresentFieldOfTag(const tagCONTACT& record, const QString& tag);
// The text of the default field, empty when that field is absent.
QStringView DefaultFieldText(const tagCONTACT& record);
