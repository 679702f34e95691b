#pragma once
// What the add contact form holds and how it becomes a new contact in the
// contacts store: the five name parts ("Unnamed" when there is no name),
// work details, one telephone number of a chosen kind, one e-mail address
// and one postal address of a chosen kind.

#include "contactlist/ContactNameParts.h"

#include <QString>

class CContactsStore;

struct NewContactForm {
    enum class Phone { Home, Work, Mobile, Pager, Car, WorkFax };
    enum class Address { Home, Work, Other };

    ContactNameParts name;
    QString jobTitle, department, company;
    Phone phoneKind = Phone::Work;
    QString number;
    QString email;
    Address addressKind = Address::Work;
    QString street, postalCode, city;
};

enum class NewContactResult { Saved, LogOnFailed, CreateFailed, SaveFailed };

// Creates the contact; an empty text sets nothing.
NewContactResult SaveNewContact(CContactsStore& store, const NewContactForm& form);
