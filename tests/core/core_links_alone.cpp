// Built from the whole Qt-Core library and Qt Core alone (see
// CMakeLists.txt); linking is the check, running it only proves it starts.
#include "nmea/nmeafields.h"

int main()
{
    return NmeaFields(QByteArrayLiteral("$GPGGA,1,2*00")).count() == 3 ? 0 : 1;
}
