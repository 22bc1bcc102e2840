#include "html/extract.h"
#include "html/xpathsearch.h"
#include "html/xpathsteps.h"

namespace sentrel {

void validateXPath(QStringView expression)
{
    XPathStepReader stepReader;
    const TPrmRecList steps = stepReader.read(expression);
    const html::PredicateReader predicateReader;
    for (qsizetype i = 0; i < steps.Count(); ++i)
        if (!steps[i]->Attr.isEmpty())
            predicateReader.read(steps[i]->Attr);
}

} // namespace sentrel
