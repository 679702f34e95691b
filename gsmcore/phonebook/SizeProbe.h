#pragma once
// Finds the longest name and number a phone book takes by writing trial
// entries to one free location: lengths shrink from 40 by halves until
// one is taken, then grow by a doubling step until one is refused, then
// the gap between the longest taken and the shortest refused length is
// halved until it closes. The trial entry is deleted at the end.

#include "gsmcore/phonebook/NumberExtractor.h"

#include <functional>

struct SizeProbeResult {
    bool found = false;  // some length was taken
    int length = 0;      // the longest length taken (the old value when none)
    int trials = 0;      // trial writes sent
    bool deleted = false;  // the trial entry was removed afterwards
};

class CSizeProbe {
public:
    enum class Part { Name, Number };
    // Longer trials are not written: the sizes the settings keep end here.
    static constexpr int MaxLength = 400;
    static constexpr int FirstLength = 40;
    static constexpr int FirstStep = 20;

    // `accepted` hears every length the store took, as it is taken.
    using Accepted = std::function<void(Part part, int length)>;

    CSizeProbe(CNumberExtractor& store, int location, Accepted accepted = {});

    // Probes one part; `current` is the result when no length is taken.
    // The store's error messages are off meanwhile, so refusals are silent.
    SizeProbeResult Probe(Part part, int current);

private:
    bool Trial(Part part, int length, SizeProbeResult& result);

    CNumberExtractor& m_store;
    int m_location;
    Accepted m_accepted;
};
