#include "gsmcore/phonebook/NumberExtractor.h"

#include "gsmcore/charset/AlphaField.h"
#include "support/Format.h"
#include "support/TranslationTable.h"

QString CNumberExtractor::NameProblem(const QString& name) const
{
    const QString beyond = CharactersBeyondBmp(name);
    if (beyond.isEmpty())
        return QString();
    return Format(Tr("No phone book can store %s (characters beyond the Basic Multilingual Plane); the name is not written."),
                  beyond);
}
