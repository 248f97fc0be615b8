# Turns a program's --help text into man page source:
#   "Usage: PROGRAM ..." / "Pemakaian: PROGRAM ..."  -> a bold synopsis line
#   a short unindented line ending in ":"             -> a bold heading
#   "  TERM  description" (two blanks after TERM)     -> a tagged paragraph
#   a blank line                                      -> a paragraph break
#   anything else                                     -> running text
# Variables: shown (the name to show for the program, e.g. "karsidan-cli send").

# Backslashes, the padding dot, and lines that roff would take for requests.
function escape(s) {
    gsub(/\\/, "\\e", s)
    gsub(/·/, "\\[pc]", s)
    gsub(/"/, "\\(dq", s)
    return s
}

# Minus signs (not hyphens) where a word starts with dashes, as in options,
# so that they can be copied from the page.
function dashes(s,    out, i, c, prev) {
    out = ""
    prev = " "
    for (i = 1; i <= length(s); i++) {
        c = substr(s, i, 1)
        if (c == "-" && (prev == " " || prev == "[" || prev == "(" || prev == "-" || prev == "," || prev == "|"))
            c = "\\-"
        out = out c
        prev = substr(s, i, 1)
    }
    return out
}

function text(s) {
    s = dashes(escape(s))
    if (s ~ /^[.']/)
        s = "\\&" s
    return s
}

function paragraph() {
    if (!fresh)
        print ".PP"
    fresh = 1
}

BEGIN { fresh = 1; n = split(shown, parts, " "); command = n > 1 ? parts[n] : "" }

/^[ \t]*$/ { paragraph(); next }

/^(Usage|Pemakaian): / {
    sub(/^[^:]*: +/, "")
    sub(/^[^ ]+ */, "")                       # the program as it was called
    if (command != "" && index($0, command " ") == 1)
        $0 = substr($0, length(command) + 2)
    else if (command != "" && $0 == command)
        $0 = ""
    paragraph()
    print ".B " text(shown)
    if ($0 != "")
        print text($0)
    # Qt's help goes on with the description on the next line.
    fresh = 0
    paragraph()
    next
}

/^[^ \t].*:$/ && length($0) <= 30 {
    paragraph()
    print ".B " text($0)
    print ".br"
    fresh = 0
    next
}

match($0, /^ +[^ ]+( [^ ]+)*  +/) {
    term = substr($0, 1, RLENGTH)
    rest = substr($0, RLENGTH + 1)
    sub(/^ +/, "", term)
    sub(/ +$/, "", term)
    gsub(/  +/, " ", rest)
    print ".TP"
    print "\\fB" text(term) "\\fR"
    print text(rest)
    fresh = 0
    next
}

{
    line = $0
    sub(/^ +/, "", line)
    gsub(/  +/, " ", line)
    print text(line)
    fresh = 0
}
