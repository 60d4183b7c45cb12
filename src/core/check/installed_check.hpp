#pragma once
// Checking what MapSource and BaseCamp have installed: registry values that
// name files or folders that are gone, family ids that are not two bytes or
// not the product file's, and products that clash with one about to be
// installed (the same family id, or tiles of the same number: MapSource
// then shows only one of them).
#include "../common/prompter.hpp"
#include "finding.hpp"
#include "product_check.hpp"

namespace velmor {

class InstallEnvironment;

// The registry part alone (`ours` null), or with the clashes of `ours`
// against every installed product but itself. Installed products come from
// the installed-products listing; the registry values from the families key.
Findings checkInstalled(InstallEnvironment& environment, const CheckedProduct* ours,
                        Activity& activity = quietActivity());

}  // namespace velmor
