#include "measure/MeasureList.h"

PhotoMeasureList& SharedPhotoList()
{
    static PhotoMeasureList list;
    return list;
}
