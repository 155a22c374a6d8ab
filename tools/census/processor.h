// Which builds of the walk this processor can run, asked at run time: the census is one program
// for every x86-64 processor, and a build may only run where its instructions exist.
#pragma once

// popcnt, bmi, bmi2 and lzcnt.
bool CanUseBitInstructions();

// The AVX-512 subsets the vector walk is compiled for, and the bit instructions.
bool CanUseVector();
