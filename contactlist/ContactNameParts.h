#pragma once
// A contact's name as one line and as its five parts (title, first,
// middle, last, suffix): how an entry's name becomes a contact and how
// the name editor splits and joins the line.

#include <QString>

#include <array>

struct ContactNameParts {
    enum Part { Title = 0, First = 1, Middle = 2, Last = 3, Suffix = 4, Count = 5 };
    std::array<QString, Count> parts;

    // Cuts the line at blanks into words (several blanks count as one)
    // and places them by their number: one word is the first name, two
    // are first and last, three add a middle name, four start with a
    // title, and the fifth and later words make the suffix.
    static ContactNameParts Split(const QString& line);
    // Splits again after the user has chosen the parts: when the line has
    // as many words as there are non-empty parts, the words take those
    // parts in order, so a name kept as first and last stays so.
    static ContactNameParts Resplit(const QString& line, const ContactNameParts& held);
    // The parts joined by single blanks, empty parts left out.
    QString Join() const;
    // True when title, first, middle and last are all empty.
    bool HasNoName() const;
};

// An entry's name as Transfer all to Contacts splits it: the text before
// the first blank is the first name, the rest (leading blanks dropped)
// the last name; a name without a blank is the first name alone.
void SplitEntryName(const QString& name, QString& first, QString& last);
