#pragma once

// Registers the accessible interfaces of the instrument widgets (knob, readout, lamp, switch,
// entry) with Qt, once; every widget's constructor calls it, so there is nothing to set up.
void installWidgetAccessibility();
