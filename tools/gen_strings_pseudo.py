"""The pseudo-locale (qps-ploc): every translatable English text made longer
and foreign-looking, so that a text the program does not take from its string
table, or a layout that cannot take longer texts, shows at a glance.

    "Web site"  ->  "[Шéß šîţé ····]"

Letters become accented (or, for W, wider) look-alikes that Tahoma draws,
about 40 % is added as a run of middle dots, and brackets mark both ends, so
that a text cut off shows a missing bracket. "&&", a lone "&" with its
letter, %-sequences and line breaks are kept exactly.
"""

import math
import re

# Only characters that the Tahoma regular and bold shipped with Wine both
# have: a missing one would be drawn from another font, or as a box.
_LOOK_ALIKES = str.maketrans(
    "ABCDEGHILNOPRSTUWYZabcdefghilnoprstuwyz",
    "ÅßÇÐÉĜĤÎĹÑÖÞŔŠŢÛШÝŽáßçďéƒĝĥîĺñöþŕšţûшýž")

# What passes through untouched: "&&", "&" and the letter it marks, printf and
# environment-variable %-sequences, line breaks.
_KEPT = re.compile(r"&&|&.|%(?:%|[A-Za-z_][A-Za-z0-9_()]*%|[-+#0]*\d*(?:\.\d+)?[A-Za-z])|\n", re.S)

PADDING = "\u00b7"  # middle dot


def pseudo(text):
    out = []
    at = 0
    for m in _KEPT.finditer(text):
        out.append(text[at:m.start()].translate(_LOOK_ALIKES))
        out.append(m.group(0))
        at = m.end()
    out.append(text[at:].translate(_LOOK_ALIKES))
    # Short texts grow by more than 40 %, as short translations usually do.
    dots = max(2, math.ceil(0.4 * len(text)))
    return "[" + "".join(out) + " " + PADDING * dots + "]"
