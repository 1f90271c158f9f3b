#include "SampleSpeeches.h"

namespace {

struct PhraseBank
{
    QStringList words;
    QStringList sentences;
};

const QList<PhraseBank> &phraseBanks()
{
    static const QList<PhraseBank> banks = {
        {{QStringLiteral("thanks"), QStringLiteral("order"), QStringLiteral("delivery"), QStringLiteral("invoice"),
          QStringLiteral("meeting"), QStringLiteral("refund"), QStringLiteral("welcome"), QStringLiteral("holiday"),
          QStringLiteral("password"), QStringLiteral("complaint"), QStringLiteral("appointment"), QStringLiteral("reminder")},
         {QStringLiteral("Thank you for your message."), QStringLiteral("We have received your order and will ship it within two days."),
          QStringLiteral("Please find the invoice attached to this e-mail."), QStringLiteral("I am out of the office until Monday."),
          QStringLiteral("Could you confirm the time of our meeting?"), QStringLiteral("Your refund has been sent to your bank account."),
          QStringLiteral("Kind regards,"), QStringLiteral("Do not hesitate to call us if you have any questions.")}},
        {{QStringLiteral("bedankt"), QStringLiteral("bestelling"), QStringLiteral("levering"), QStringLiteral("factuur"),
          QStringLiteral("vergadering"), QStringLiteral("terugbetaling"), QStringLiteral("welkom"), QStringLiteral("vakantie"),
          QStringLiteral("wachtwoord"), QStringLiteral("klacht"), QStringLiteral("afspraak"), QStringLiteral("herinnering")},
         {QStringLiteral("Hartelijk dank voor uw bericht."), QStringLiteral("Wij hebben uw bestelling ontvangen en versturen die binnen twee dagen."),
          QStringLiteral("In de bijlage vindt u de factuur."), QStringLiteral("Ik ben tot maandag afwezig."),
          QStringLiteral("Kunt u het tijdstip van onze vergadering bevestigen?"), QStringLiteral("Met vriendelijke groet,"),
          QStringLiteral("Neem gerust contact met ons op als u vragen heeft.")}},
        {{QStringLiteral("Dank"), QStringLiteral("Bestellung"), QStringLiteral("Lieferung"), QStringLiteral("Rechnung"),
          QStringLiteral("Besprechung"), QStringLiteral("Erstattung"), QStringLiteral("Grüße"), QStringLiteral("Urlaub"),
          QStringLiteral("Straße"), QStringLiteral("Beschwerde"), QStringLiteral("Termin"), QStringLiteral("Mahnung")},
         {QStringLiteral("Vielen Dank für Ihre Nachricht."), QStringLiteral("Wir haben Ihre Bestellung erhalten und versenden sie in zwei Tagen."),
          QStringLiteral("Die Rechnung finden Sie im Anhang."), QStringLiteral("Ich bin bis Montag nicht im Büro."),
          QStringLiteral("Bitte bestätigen Sie die Uhrzeit unserer Besprechung."), QStringLiteral("Mit freundlichen Grüßen,"),
          QStringLiteral("Die Lieferung erfolgt an die angegebene Straße.")}},
        {{QStringLiteral("merci"), QStringLiteral("commande"), QStringLiteral("livraison"), QStringLiteral("facture"),
          QStringLiteral("réunion"), QStringLiteral("remboursement"), QStringLiteral("bienvenue"), QStringLiteral("congés"),
          QStringLiteral("élève"), QStringLiteral("réclamation"), QStringLiteral("rendez-vous"), QStringLiteral("rappel")},
         {QStringLiteral("Merci beaucoup pour votre message."), QStringLiteral("Nous avons bien reçu votre commande."),
          QStringLiteral("Veuillez trouver la facture ci-jointe."), QStringLiteral("Je suis absent jusqu'à lundi."),
          QStringLiteral("Pourriez-vous confirmer l'heure de notre réunion ?"), QStringLiteral("Je vous prie d'agréer mes salutations distinguées."),
          QStringLiteral("Votre remboursement a été effectué.")}},
        {{QStringLiteral("спасибо"), QStringLiteral("заказ"), QStringLiteral("доставка"), QStringLiteral("счёт"),
          QStringLiteral("встреча"), QStringLiteral("возврат"), QStringLiteral("привет"), QStringLiteral("отпуск"),
          QStringLiteral("пароль"), QStringLiteral("жалоба"), QStringLiteral("приём"), QStringLiteral("напоминание")},
         {QStringLiteral("Спасибо за ваше сообщение."), QStringLiteral("Мы получили ваш заказ и отправим его в течение двух дней."),
          QStringLiteral("Счёт во вложении."), QStringLiteral("Я в отпуске до понедельника."),
          QStringLiteral("Подтвердите, пожалуйста, время встречи."), QStringLiteral("С уважением,")}},
        {{QStringLiteral("gracias"), QStringLiteral("pedido"), QStringLiteral("entrega"), QStringLiteral("factura"),
          QStringLiteral("reunión"), QStringLiteral("reembolso"), QStringLiteral("bienvenida"), QStringLiteral("vacaciones"),
          QStringLiteral("contraseña"), QStringLiteral("queja"), QStringLiteral("cita"), QStringLiteral("aviso")},
         {QStringLiteral("Muchas gracias por su mensaje."), QStringLiteral("Hemos recibido su pedido."),
          QStringLiteral("Adjunto encontrará la factura."), QStringLiteral("Estaré fuera de la oficina hasta el lunes."),
          QStringLiteral("¿Podría confirmar la hora de nuestra reunión?"), QStringLiteral("Atentamente,")}},
    };
    return banks;
}

const PhraseBank &bankFor(int languageIndex)
{
    const QList<PhraseBank> &banks = phraseBanks();
    return banks[languageIndex % banks.size()];
}

// A small, fixed mixing of the numbers, so that neighbouring speeches differ.
quint32 mix(int languageIndex, int index, int salt)
{
    quint32 x = quint32(index) * 2654435761u + quint32(languageIndex) * 40503u + quint32(salt) * 97u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return x;
}

} // namespace

QStringList SampleSpeeches::languageNames()
{
    return {QStringLiteral("English"), QStringLiteral("Nederlands"), QStringLiteral("Deutsch"),
            QStringLiteral("Français"), QStringLiteral("Русский"), QStringLiteral("Español"),
            QStringLiteral("Italiano"), QStringLiteral("Português"), QStringLiteral("Svenska"),
            QStringLiteral("Norsk"), QStringLiteral("Dansk"), QStringLiteral("Suomi"),
            QStringLiteral("Polski"), QStringLiteral("Čeština"), QStringLiteral("Magyar"),
            QStringLiteral("Українська"), QStringLiteral("Ελληνικά"), QStringLiteral("Türkçe"),
            QStringLiteral("Română"), QStringLiteral("Hrvatski")};
}

QString SampleSpeeches::keywords(int languageIndex, int index)
{
    const QStringList &words = bankFor(languageIndex).words;
    const quint32 x = mix(languageIndex, index, 1);
    QString keywords = words[int(x % quint32(words.size()))] + QLatin1Char(' ')
                       + words[int((x / 16) % quint32(words.size()))] + QLatin1Char(' ') + QString::number(index);
    return keywords.left(50);
}

QString SampleSpeeches::text(int languageIndex, int index)
{
    const QStringList &sentences = bankFor(languageIndex).sentences;
    const quint32 x = mix(languageIndex, index, 2);
    const int count = 2 + int(x % 3);
    QStringList chosen;
    for (int i = 0; i < count; ++i)
        chosen.append(sentences[int((x / (1u << (4 * i))) % quint32(sentences.size()))]);
    return chosen.join(QStringLiteral("\r\n"));
}

QString SampleSpeeches::comments(int languageIndex, int index)
{
    if (mix(languageIndex, index, 3) % 4 != 0)
        return QString();
    return QStringLiteral("Used %1 times").arg(mix(languageIndex, index, 4) % 40);
}
