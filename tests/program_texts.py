"""The program's own texts, byte for byte, for the tests that run it."""

PROMPT = b"Inserisci il numero di iterazioni: "
NOT_AN_INTEGER = b"Errore: il numero di iterazioni deve essere un numero intero.\n"
OUT_OF_RANGE = b"Errore: il numero di iterazioni deve essere compreso tra -2147483648 e 2147483647.\n"
CANNOT_WRITE = b"Errore: impossibile scrivere su standard output.\n"
PRESS_ENTER_TO_CLOSE = b"Premi Invio per chiudere."


def result(count, value):
    """The prompt followed by the result line, as piped output shows them."""
    return PROMPT + ("Dopo %s iterazioni il valore approssimato di pi greco \u00e8 %s\n" % (count, value)).encode("utf-8")


# How the line that a long sum shows on a terminal begins.
TERMS_SUMMED = b"Termini sommati: "
