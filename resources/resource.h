// Resource and control identifiers, each defined once here with its meaning.
#pragma once
