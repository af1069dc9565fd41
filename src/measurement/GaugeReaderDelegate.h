// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "GaugeReaderDelegate" is told of each sample; see docs/GLOSSARY.md.

namespace calidra {

class GaugeReader;

/// Told by a gauge reader after each sample: accepted or missed. Every operation has
/// a default that does nothing, so an object overrides only what it needs.
class GaugeReaderDelegate
{
public:
    virtual ~GaugeReaderDelegate();

    /// The reader has taken a new sample and updated its statistics.
    virtual void gaugeReaderDidUpdate(GaugeReader* reader);

    /// The reader rejected a sample; its statistics are unchanged.
    virtual void gaugeReaderDidMiss(GaugeReader* reader);
};

} // namespace calidra
