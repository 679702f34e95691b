#pragma once
// The "contacts" commands of tessaly-cli, as plain functions: each reads
// or changes the contacts store and returns the text to print and the
// exit status.
//
//   contacts list [--json]   ContactsListCommand
//   contacts lookup NUMBER   ContactsLookupCommand
//   contacts import FILE.vcf ContactsImportCommand
//   contacts export FILE.vcf ContactsExportCommand

#include <QString>

struct ContactsCommandResult {
    int exitCode = 0;
    QString output;  // for standard output, with its line ends
    QString error;   // for standard error, empty when none
};

// `folder` is the store's folder; empty means the default folder.
// Text: one line per contact, "name<TAB>default tag<TAB>tag: value; ...".
// JSON: {"contacts":[{"oid":..,"name":..,"default":..,"fields":{..}}]},
// in the order of the list of all contacts.
ContactsCommandResult ContactsListCommand(bool json, const QString& folder = QString());
// The name the number table gives for NUMBER (exit 1 when the number is
// unknown). A number two contacts share maps to no single name; then the
// names of all its holders are printed, one per line.
ContactsCommandResult ContactsLookupCommand(const QString& number, const QString& folder = QString());
// Every card of the file becomes a contact; a card whose UID is already
// in the store replaces that contact, so importing an export again makes
// no doubles; cards sharing a UID all stay, each in its own file, and the
// UID is reported. Exit 1 when the file cannot be read or holds no card,
// or when a card was broken or could not be saved (each is named).
ContactsCommandResult ContactsImportCommand(const QString& file, const QString& folder = QString());
// All contacts into one file, in store order, then the cards of files
// that hold several. A file that cannot be read is named on standard
// error and the exit status is 1; so is a failed write.
ContactsCommandResult ContactsExportCommand(const QString& file, const QString& folder = QString());
