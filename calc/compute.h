#pragma once

class Platform;

// The computation behind "Compute": reads payment, annual rate and balance
// from Text1 to Text3 and the payment kind from Combo1, runs the matching
// simulation for the month count and again for the total interest, then
// writes "$" and the average monthly interest to Text4 and the month count to
// Text5. It validates and catches nothing: any failure is a RuntimeError,
// thrown before either output box is touched.
void ComputePayoff(Platform& platform);
