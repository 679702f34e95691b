#pragma once
// Contacts seen through their telephone numbers: the twelve-field table
// of tags and translated labels, search by number and the details of a
// contact that the contact lists show.

#include "platform/contacts/PoomContacts.h"

#include <QMap>
#include <QStringList>

class CPoomPhoneNumbers : public CPoomContacts {
public:
    explicit CPoomPhoneNumbers(const QString& localPrefix, const QString& folder = QString());

    // The tables, built once per process by the first construction.
    static const QStringList& GetTags();                  // the twelve tags in type order
    static const QStringList& GetLabels();                // their translated labels
    static const QMap<QString, QString>& GetTagToLabel(); // tag -> translated label
    static QString GetTag(int type);
    static QString GetLabel(int type);
    static quint32 GetMask(int type);

    void SetType(int type);
    int GetType() const { return m_type; }
    QString GetValue(const CContactItem& contact) const override;

    // Digits and '+' only; a leading local prefix + "0", else a leading
    // "0", becomes "+46".
    static QString NormalizeNumber(const QString& number, const QString& localPrefix);
    // First position whose telephone fields hold `number`; sets the type.
    int FindByNumber(const QString& number);

    // Name, present fields (tag -> text), the first present tag, the
    // object identifier and the presence bits added to `mask`.
    bool GetDetails(qint64 key, QString& name, quint32& mask, QString& firstTag, QMap<QString, QString>& values,
                    quint32& oid);

private:
    static void BuildTables();

    int m_type = FIELD_WORK_TEL;
    QString m_localPrefix;
};

class CPoomPhoneNumbersByOid : public CPoomPhoneNumbers {
public:
    using CPoomPhoneNumbers::CPoomPhoneNumbers;
    std::unique_ptr<CContactItem> GetContact(qint64 oid) override;
};
