#pragma once

#include "core/awards/needed_index.h"
#include "core/cluster/spot_classifier.h"

namespace dxcc::cluster {

// The spots' needed status read from the log's needed-status index.
class IndexNeededLookup : public NeededLookup {
public:
    explicit IndexNeededLookup(const NeededIndex& index) : index_(index) {}
    SpotNeed entity(std::string_view dxccPrefix) const override {
        return SpotNeed(char(index_.entity(dxccPrefix)));
    }
    SpotNeed band(std::string_view dxccPrefix, std::string_view bandLabel) const override {
        return SpotNeed(char(index_.band(dxccPrefix, bandLabel)));
    }
    SpotNeed mode(std::string_view dxccPrefix, ModeClass modeClass) const override {
        const NeedClass c = modeClass == ModeClass::Cw          ? NeedClass::Cw
                            : modeClass == ModeClass::Digital   ? NeedClass::Digital
                            : modeClass == ModeClass::Satellite ? NeedClass::Satellite
                                                                : NeedClass::Phone;
        return SpotNeed(char(index_.mode(dxccPrefix, c)));
    }

private:
    const NeededIndex& index_;
};

}  // namespace dxcc::cluster
