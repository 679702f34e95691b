#include "contactlist/NewContactForm.h"

#include "platform/contacts/ContactFieldTable.h"
#include "platform/contacts/ContactsStore.h"
#include "support/TranslationTable.h"

namespace {

void SetIfAny(CContactItem& item, ContactProperty property, const QString& text)
{
    if (!text.isEmpty())
        item.SetProperty(property, text);
}

QString LeftTrimmed(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

}  // namespace

NewContactResult SaveNewContact(CContactsStore& store, const NewContactForm& form)
{
    if (!store.IsLoggedOn() && !store.LogOn())
        return NewContactResult::LogOnFailed;
    auto item = store.CreateItem();
    if (!item)
        return NewContactResult::CreateFailed;

    using P = ContactNameParts;
    const auto& parts = form.name.parts;
    SetIfAny(*item, ContactProperty::Title, parts[P::Title]);
    SetIfAny(*item, ContactProperty::FirstName, parts[P::First]);
    SetIfAny(*item, ContactProperty::MiddleName, parts[P::Middle]);
    SetIfAny(*item, ContactProperty::LastName, parts[P::Last]);
    SetIfAny(*item, ContactProperty::Suffix, parts[P::Suffix]);
    if (form.name.HasNoName())
        item->SetProperty(ContactProperty::FirstName, Tr("Unnamed"));
    SetIfAny(*item, ContactProperty::JobTitle, form.jobTitle);
    SetIfAny(*item, ContactProperty::Department, form.department);
    SetIfAny(*item, ContactProperty::Company, form.company);
    if (!form.email.isEmpty())
        item->SetField(FIELD_EMAIL, form.email);

    const QString number = LeftTrimmed(form.number);
    if (!number.isEmpty()) {
        switch (form.phoneKind) {
        case NewContactForm::Phone::Home: item->SetField(FIELD_HOME_TEL, number); break;
        case NewContactForm::Phone::Mobile: item->SetField(FIELD_MOBILE_TEL, number); break;
        case NewContactForm::Phone::Pager: item->SetProperty(ContactProperty::Pager, number); break;
        case NewContactForm::Phone::Car: item->SetField(FIELD_CAR_TEL, number); break;
        case NewContactForm::Phone::WorkFax: item->SetField(FIELD_WORK_FAX, number); break;
        case NewContactForm::Phone::Work: item->SetField(FIELD_WORK_TEL, number); break;
        }
    }
    PostalAddress address;
    address.street = LeftTrimmed(form.street);
    address.city = form.city;
    address.postalCode = form.postalCode;
    if (!address.IsEmpty()) {
        const AddressKind kind = form.addressKind == NewContactForm::Address::Home    ? AddressKind::Home
                                 : form.addressKind == NewContactForm::Address::Other ? AddressKind::Other
                                                                                      : AddressKind::Work;
        item->SetAddress(kind, address);
    }
    return store.Save(*item) ? NewContactResult::Saved : NewContactResult::SaveFailed;
}
