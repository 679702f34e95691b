#pragma once
// One contact of the store: its card, the file it lives in and its object
// identifier, with the named properties the application reads and writes.
// Properties we do not know stay in the card untouched.

#include "platform/contacts/CardFolder.h"
#include "platform/contacts/ContactPropertySlots.h"
#include "platform/contacts/VCard.h"

#include <QString>

enum class ContactProperty {
    Title,
    FirstName,
    MiddleName,
    LastName,
    Suffix,
    FileAs,      // the display text (FN)
    JobTitle,
    Department,
    Company,
    Categories,  // comma-separated
    Pager,
};

struct PostalAddress {
    QString street;
    QString city;
    QString postalCode;
    QString region;
    QString country;
    bool IsEmpty() const;
};

// The display name of a card: FN, else one built from N, else the
// company, else the first e-mail address.
QString ContactDisplayName(const VCard& card);

class CContactItem {
public:
    CContactItem() = default;
    CContactItem(VCard card, QString fileName, quint32 oid);

    const VCard& Card() const { return m_card; }
    const QString& FileName() const { return m_fileName; }  // empty until saved
    quint32 Oid() const { return m_oid; }
    QString Uid() const;

    // Field `type` of the twelve (trimmed; a "tel:" URI gives its number).
    QString Field(int type) const;
    // Sets the field; empty text removes it. A new property gets the one
    // form that reads back as this field; numbers and addresses that belong
    // to no field stay on the card untouched.
    void SetField(int type, const QString& text);

    QString Property(ContactProperty property) const;
    // A name part changes only that part of N, and FN only when FN was made
    // from the old parts; the company and department only their parts of ORG.
    void SetProperty(ContactProperty property, const QString& text);

    PostalAddress Address(AddressKind kind) const;
    // Street, city and postal code replace the old ones, region and country
    // when given; a part whose text is unchanged, and every other part of an
    // existing address, keeps its bytes.
    void SetAddress(AddressKind kind, const PostalAddress& address);

    // The display name: FN, else one built from N, else the company, else
    // the first e-mail address.
    QString DisplayName() const;
    // Gives FN a value when it has none (vCard requires it).
    void CompleteRequiredProperties();

    // Used by the store. The stamp is the file's as the item was read, so
    // that a save can tell whether another program has changed the file
    // since; an item without one replaces the file.
    void SetStoreIdentity(QString fileName, quint32 oid);
    void SetReadStamp(const FileStamp& stamp) { m_readStamp = stamp; }
    const FileStamp& ReadStamp() const { return m_readStamp; }
    VCard& MutableCard() { return m_card; }

private:
    const ContactPropertySlots& Slots() const;
    void CardChanged() { m_slotsValid = false; }
    bool IsVersion4() const { return m_card.version == QLatin1String("4.0"); }
    // Replaces, adds or (with empty text) removes the TEL or EMAIL property
    // that `slotIndex` points at.
    void SetAddressProperty(int& slotIndex, const QString& text, const QString& name, const QStringList& newTypes);
    void SetNamePart(int component, const QString& text);

    VCard m_card;
    QString m_fileName;
    quint32 m_oid = 0;
    FileStamp m_readStamp;
    mutable ContactPropertySlots m_slots;
    mutable bool m_slotsValid = false;
};
