// hostmath.
#include "host_calls.h"
#include "hostmath.h"

void ZglInitMatrix(double matrix[4][4]) {
    HOST_CALL();
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) matrix[row][column] = row == column ? 1.0 : 0.0;
}
