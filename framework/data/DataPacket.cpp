#include "framework/data/DataPacket.h"

int TDataPacket::IndexOf(const QString& name) const {
    for (int i = 0; i < Fields.size(); ++i)
        if (Fields.at(i).Name == name) return i;
    return -1;
}
