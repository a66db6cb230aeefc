#pragma once

#include "core/awards/needed_index.h"
#include "core/cluster/spot_classifier.h"

namespace dxcc::cluster {

// The spots' needed status read from the log's needed-status index.
class IndexNeededLookup : public NeededLookup {
public:
    explicit IndexNeededLookup(const NeededIndex& index) : index_(index) {}
    Need entity(std::string_view dxccPrefix) const override { return index_.entity(dxccPrefix); }
    Need band(std::string_view dxccPrefix, std::string_view bandLabel) const override {
        return index_.band(dxccPrefix, bandLabel);
    }
    Need mode(std::string_view dxccPrefix, ModeClass modeClass) const override {
        return index_.mode(dxccPrefix, modeClass);
    }

private:
    const NeededIndex& index_;
};

}  // namespace dxcc::cluster
