// Derived values of the device image that do not need the link.
#include "device_image.h"

quint16 calculating_the_discreteness(quint16 format, int which)
{
    static const quint16 scale[4] = {1, 10, 100, 1000};
    switch (which) {
    case 0:
        return scale[(format >> 4) & 0x3];
    case 1:
        return scale[(format >> 6) & 0x3];
    default:
        return 1;
    }
}
