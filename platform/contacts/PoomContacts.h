#pragma once
// The contact-access classes the application uses: a logon on the
// contacts store that answers by position, by object identifier, by name
// or by e-mail address. Opening never fails towards the caller: IsOk()
// tells, and a failed logon counts -1 and finds nothing.

#include "platform/contacts/ContactsStore.h"

#include <QString>

#include <memory>

class CPoomContacts {
public:
    // Name orders of GetName.
    static constexpr int NameOrderLastFirst = 0;  // "Last, First"
    static constexpr int NameOrderFirstLast = 1;  // "First Last"

    // Logs on to the store in `folder` (empty: the default folder).
    explicit CPoomContacts(const QString& folder = QString());
    virtual ~CPoomContacts();
    CPoomContacts(const CPoomContacts&) = delete;
    CPoomContacts& operator=(const CPoomContacts&) = delete;

    bool IsOk() const { return m_ok; }
    // Items in the store (read again from the folder), -1 without a logon.
    int GetCount();

    // The contact at `key`: a position here, an object identifier in the
    // ...ByOid classes. Null when there is none.
    virtual std::unique_ptr<CContactItem> GetContact(qint64 key);
    virtual QString GetName(const CContactItem& contact) const;
    // The first e-mail address here; the current type's number in
    // CPoomPhoneNumbers.
    virtual QString GetValue(const CContactItem& contact) const;

    QString GetNameAt(qint64 key);
    QString GetValueAt(qint64 key);
    int FindByName(const QString& text);
    int FindByEmail(const QString& text);

    void SetNameOrder(int order) { m_nameOrder = order; }
    int GetNameOrder() const { return m_nameOrder; }

    // Field readers by key; the error text when there is no such contact.
    QString GetEmail1At(qint64 key) { return FieldAt(key, FIELD_EMAIL); }
    QString GetEmail2At(qint64 key) { return FieldAt(key, FIELD_EMAIL2); }
    QString GetEmail3At(qint64 key) { return FieldAt(key, FIELD_EMAIL3); }
    QString GetPropertyAt(qint64 key, ContactProperty property);
    QString GetCategoriesAt(qint64 key) { return GetPropertyAt(key, ContactProperty::Categories); }

    const QString& ErrorText() const { return m_errorText; }
    CContactsStore& Store() { return *m_store; }

protected:
    QString FieldAt(qint64 key, int type);

    std::unique_ptr<CContactsStore> m_store;
    const QString m_errorText = QStringLiteral("<error>");
    bool m_ok = false;
    int m_nameOrder = NameOrderLastFirst;
};

class CPoomContactsByOid : public CPoomContacts {
public:
    using CPoomContacts::CPoomContacts;
    std::unique_ptr<CContactItem> GetContact(qint64 oid) override;
};
