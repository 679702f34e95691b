#include "gsmcore/phonebook/SizeProbe.h"

CSizeProbe::CSizeProbe(CNumberExtractor& store, int location, Accepted accepted)
    : m_store(store), m_location(location), m_accepted(std::move(accepted))
{
}

bool CSizeProbe::Trial(Part part, int length, SizeProbeResult& result)
{
    if (length > MaxLength)
        return false;
    ++result.trials;
    const QString probe(length, part == Part::Name ? QLatin1Char('A') : QLatin1Char('1'));
    QString number = part == Part::Name ? QStringLiteral("123") : probe;
    const QString name = part == Part::Name ? probe : QStringLiteral("123");
    if (!m_store.Add(m_location, name, number))
        return false;
    result.found = true;
    result.length = length;
    if (m_accepted)
        m_accepted(part, length);
    return true;
}

SizeProbeResult CSizeProbe::Probe(Part part, int current)
{
    SizeProbeResult result;
    result.length = current;
    m_store.DisableErrorMessages();

    // Shrinking: halve until a length is taken.
    int length = FirstLength;
    int refused = 0;  // the shortest length refused so far, 0 for none
    while (length >= 1 && !Trial(part, length, result)) {
        refused = length;
        length /= 2;
    }
    if (result.found) {
        // Growing: a doubling step until a refusal.
        int step = FirstStep;
        int taken = length;
        for (;;) {
            length = taken + step;
            step *= 2;
            if (!Trial(part, length, result))
                break;
            taken = length;
        }
        if (refused <= taken || length < refused)
            refused = length;
        // Refining: halve the gap between the longest taken and the
        // shortest refused length.
        while (refused - taken > 1) {
            const int middle = taken + (refused - taken) / 2;
            if (Trial(part, middle, result))
                taken = middle;
            else
                refused = middle;
        }
    }
    // Whatever happened, no trial entry stays behind; a delete that fails
    // is worth its message, unlike the refusals above.
    m_store.EnableErrorMessages();
    result.deleted = m_store.Delete(m_location);
    return result;
}
