// The family order report (".iik"): per sequence, 21 lines "family order-value" and an
// empty line.
#pragma once

#include "reports/order_texts.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

void WriteOrderBlock(OutputBuffer& out, const OrderTexts& order);

}  // namespace trelba
