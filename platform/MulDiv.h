#pragma once

// number × numerator / denominator, with a 64-bit product, rounded to the nearest integer
// (halves away from zero). A zero denominator or a result beyond 32 bits gives -1.
int MulDiv(int number, int numerator, int denominator);
