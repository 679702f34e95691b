// Every part of the GSM core library holds at least this translation unit,
// so a part whose folder is still empty links as an empty library.
namespace {
[[maybe_unused]] int libraryPartMarker = 0;
}
