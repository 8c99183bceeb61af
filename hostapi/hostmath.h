// hostmath: the host's matrix helpers.
#pragma once

// Puts a 4 x 4 matrix (matrix[row][column]) into its initial state, the identity.
void ZglInitMatrix(double matrix[4][4]);
