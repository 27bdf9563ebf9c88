// Values read from the token stream.
#include "ase/number_text.h"
#include "ase/reader.h"

int32_t ReadInt(AseReader& reader) {
    NextToken(reader);
    return DecimalTextToInt(reader.token, reader.tokenLength);
}

double ReadFloat(AseReader& reader) {
    NextToken(reader);
    return DecimalTextToDouble(reader.token, reader.tokenLength);
}

Point3& ReadPoint3(AseReader& reader, Point3& point) {
    point.x = static_cast<float>(ReadFloat(reader));
    point.y = static_cast<float>(ReadFloat(reader));
    point.z = static_cast<float>(ReadFloat(reader));
    return point;
}

bool ReadString(AseReader& reader, char* destination) {
    if (!NextToken(reader)) return false;
    return TokenToString(reader, destination);
}
